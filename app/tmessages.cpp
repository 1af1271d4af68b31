#include "app/tmessages.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace {

TMessages::Presenter &CurrentPresenter()
{
    static TMessages::Presenter presenter;
    return presenter;
}

// Room a title bar takes beside its caption: the window icon, the close box
// and the margins between them.
constexpr int kTitleBarRoom = 120;

int DialogPresenter(const TMessageBoxRequest &request)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.icon) {
    case TMessages::NoIcon: icon = QMessageBox::NoIcon; break;
    case TMessages::Information: icon = QMessageBox::Information; break;
    case TMessages::Warning: icon = QMessageBox::Warning; break;
    case TMessages::Error: icon = QMessageBox::Critical; break;
    case TMessages::Question: icon = QMessageBox::Question; break;
    }
    QMessageBox::StandardButtons buttons;
    if (request.buttons & TMessages::Ok)
        buttons |= QMessageBox::Ok;
    if (request.buttons & TMessages::Yes)
        buttons |= QMessageBox::Yes;
    if (request.buttons & TMessages::No)
        buttons |= QMessageBox::No;
    if (request.buttons & TMessages::Cancel)
        buttons |= QMessageBox::Cancel;
    if (!buttons)
        buttons = QMessageBox::Ok;
    // No parent: the box is centred on the screen and blocks the whole
    // application until it is closed.
    // A carriage return alone breaks the line, as the system's texts expect.
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, request.caption, text, buttons);
    // The Windows-style dialog shows the text as it is, never as markup.
    box.setTextFormat(Qt::PlainText);
    // The box is as wide as its text, and the title bar cuts a longer
    // caption: it is made wide enough for the whole caption beside the
    // title bar's icon and buttons.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int captionWidth = box.fontMetrics().horizontalAdvance(request.caption) + kTitleBarRoom;
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return TMessages::Yes;
    case QMessageBox::No: return TMessages::No;
    case QMessageBox::Cancel: return TMessages::Cancel;
    default:
        // Esc or the close box: Cancel where the box offers it.
        if (request.buttons & TMessages::Cancel)
            return TMessages::Cancel;
        return (request.buttons & TMessages::Ok) || !(request.buttons & TMessages::No) ? TMessages::Ok
                                                                                       : TMessages::No;
    }
}

int Present(const TMessageBoxRequest &request)
{
    const TMessages::Presenter &presenter = CurrentPresenter();
    return presenter ? presenter(request) : DialogPresenter(request);
}

QString ApplicationTitle()
{
    return QCoreApplication::applicationName();
}

} // namespace

void TMessages::ShowMessage(const QString &text)
{
    Present({ApplicationTitle(), text, NoIcon, Ok});
}

int TMessages::MessageBox(const QString &text, const QString &caption, Icon icon, int buttons)
{
    return Present({caption, text, icon, buttons});
}

void TMessages::ShowError(const QString &message)
{
    Present({ApplicationTitle(), ErrorText(message), Error, Ok});
}

QString TMessages::ErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

TMessages::Presenter TMessages::SetPresenter(Presenter presenter)
{
    Presenter previous = std::move(CurrentPresenter());
    CurrentPresenter() = std::move(presenter);
    return previous;
}
