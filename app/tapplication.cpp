#include "app/tapplication.h"
#include "app/tguard.h"
#include "app/tmessages.h"
#include "app/tmodalinsight.h"
#include "data/tfbtransaction.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Texts Qt now asks for under a context its Portuguese file does not have
// yet, though it has the same texts under an older one: the file kinds of
// the file dialog ("Folder", "File", "Drive"), which stayed in English.
class TQtTextsFallback : public QTranslator
{
public:
    TQtTextsFallback(const QTranslator *qtTexts, QObject *parent)
        : QTranslator(parent)
        , m_qtTexts(qtTexts)
    {
    }

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *, int n) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileIconProvider") != 0)
            return QString();
        for (const char *older : {"QFileDialog", "QFileSystemModel"}) {
            const QString text = m_qtTexts->translate(older, sourceText, nullptr, n);
            if (!text.isEmpty())
                return text;
        }
        return QString();
    }

private:
    const QTranslator *m_qtTexts;
};

} // namespace

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

void TApplication::Configure()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // The application name, not the display name: Qt appends an explicit
    // display name to every window caption.
    QCoreApplication::setApplicationName(Title());
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
    TModalInSight::Install();
    // Qt's own texts (the standard buttons of a message box: "Sim", "Não")
    // in Portuguese. Without the translation files they stay in English.
    static QTranslator *qtTexts = nullptr;
    if (!qtTexts) {
        auto *t = new QTranslator(qApp);
        if (t->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(t);
            QCoreApplication::installTranslator(new TQtTextsFallback(t, qApp));
            qtTexts = t;
        } else {
            delete t;
        }
    }
    // A commit that fails where it cannot be thrown (a connection or
    // transaction being destroyed) is shown like every other database error.
    TFbTransaction::SetFailureReporter([](const QString &message) { TMessages::ShowError(message); });
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentError(std::current_exception());
        return false;
    }
}
