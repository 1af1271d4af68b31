// Files the report engine writes in place of earlier ones (exports, layouts,
// saved pages) on a disk that runs out of room: the earlier file stays as it
// was, no temporary file is left, and the error gives the system's reason.

#include "report/export/treppdfdocumentfilter.h"
#include "report/export/treprtfexportfilter.h"
#include "report/model/ereperror.h"
#include "report/model/trepfilecommit.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"
#include "report/store/trepstream.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>

using Writer = std::function<void(const QString &)>;
Q_DECLARE_METATYPE(Writer)

namespace {

// Lines enough to fill several of the file's write buffers.
void ExportPage(TRepExportFilter &filter)
{
    filter.Begin(2100, 3300, TRepFont());
    for (int page = 0; page < 3; ++page) {
        filter.NewPage();
        for (int line = 0; line < 60; ++line)
            filter.TextOut(TRepFont(), QStringLiteral("Linha %1 da página %2 com acentuação").arg(line).arg(page),
                           taLeftJustify, 100, 100 + line * 50);
        filter.EndPage();
    }
    filter.End();
}

// The disk "fills" at `room` bytes for every file this process writes: the
// kernel refuses the bytes beyond (EFBIG) instead of killing the process.
// Works for root and for a normal user alike, with no mount.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t room)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_ok = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        if (m_ok) {
            rlimit limited = m_old;
            limited.rlim_cur = room;
            m_ok = setrlimit(RLIMIT_FSIZE, &limited) == 0;
        }
    }
    ~FileSizeLimit()
    {
        if (m_ok)
            setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool Ok() const { return m_ok; }

private:
    rlimit m_old{};
    bool m_ok = false;
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TstTRepFileCommit : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskKeepsTheEarlierFile_data()
    {
        QTest::addColumn<Writer>("write");
        QTest::addColumn<bool>("inTheTail");
        const Writer pdf = [](const QString &file) {
            TRepPDFDocumentFilter filter(file);
            ExportPage(filter);
        };
        const Writer rtf = [](const QString &file) {
            TRepRTFExportFilter filter(file);
            ExportPage(filter);
        };
        const Writer layout = [](const QString &file) {
            TRepReport report;
            TRepLayout::SaveToFile(report, file);
        };
        const Writer pages = [](const QString &file) {
            TRepStream stream;
            stream.Write(QByteArray(5000, 'p'));
            stream.SaveToFile(file);
        };
        // The last few bytes, still in the file's buffer when the writing
        // ends, are the ones that do not fit; or the room ends half-way.
        QTest::newRow("PDF, last bytes") << pdf << true;
        QTest::newRow("PDF, half-way") << pdf << false;
        QTest::newRow("RTF, last bytes") << rtf << true;
        QTest::newRow("RTF, half-way") << rtf << false;
        QTest::newRow("report layout, last bytes") << layout << true;
        QTest::newRow("saved pages, last bytes") << pages << true;
    }
    void fullDiskKeepsTheEarlierFile()
    {
        QFETCH(Writer, write);
        QFETCH(bool, inTheTail);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // How big the whole file is, written with room to spare.
        const QString whole = dir.filePath(QStringLiteral("inteiro"));
        write(whole);
        const qint64 size = QFileInfo(whole).size();
        QVERIFY(QFile::remove(whole));
        const QByteArray earlier("an earlier file");
        QVERIFY2(size > 100 + earlier.size(), qPrintable(QString::number(size)));

        const QString file = dir.filePath(QStringLiteral("saida"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(earlier);
        }
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QString message;
        {
            FileSizeLimit limit(rlim_t(inTheTail ? size - 10 : size / 2));
            if (!limit.Ok())
                QSKIP("the file-size limit cannot be set here");
            try {
                write(file);
            } catch (const ERepError &e) {
                message = e.Message();
            }
        }
        QVERIFY2(!message.isEmpty(), "the write was reported as done");
        QVERIFY2(message.contains(TRepFileCommit::ReasonText(QString::fromLocal8Bit(std::strerror(EFBIG)))),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("o arquivo ficou maior")), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("Unknown error")), qPrintable(message));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), earlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
    }

    // The export and save errors were the system's English ("Cannot write
    // file ... No space left on device", "Permission denied"): the user
    // reads what went wrong in Portuguese.
    void exportErrorsInEnglish_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << ENOSPC << "não há espaço livre no disco";
        QTest::newRow("no permission") << EACCES << "sem permissão para gravar nesse local";
        QTest::newRow("read-only disk") << EROFS << "o disco é somente para leitura";
        QTest::newRow("no such folder") << ENOENT << "a pasta não existe";
        QTest::newRow("over the quota") << EDQUOT << "a cota de espaço em disco do usuário acabou";
    }
    void exportErrorsInEnglish()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);
        QCOMPARE(TRepFileCommit::ReasonText(QString::fromLocal8Bit(std::strerror(code))), reason);
    }

    // A failure the list does not know keeps the system's text; none at
    // all is said as unknown.
    void unknownReasonsAsTheSystemGaveThem()
    {
        QCOMPARE(TRepFileCommit::ReasonText(QStringLiteral("Stale file handle (x)")),
                 QStringLiteral("Stale file handle (x)"));
        QCOMPARE(TRepFileCommit::ReasonText(QString()), QStringLiteral("erro desconhecido"));
        QCOMPARE(TRepFileCommit::ReasonText(QStringLiteral("Unknown error")), QStringLiteral("erro desconhecido"));
    }

    // A folder that does not exist, through every file the engine writes.
    void missingFolderSaidInPortuguese_data()
    {
        QTest::addColumn<Writer>("write");
        QTest::newRow("PDF") << Writer([](const QString &file) {
            TRepPDFDocumentFilter filter(file);
            ExportPage(filter);
        });
        QTest::newRow("RTF") << Writer([](const QString &file) {
            TRepRTFExportFilter filter(file);
            ExportPage(filter);
        });
        QTest::newRow("saved pages") << Writer([](const QString &file) {
            TRepStream stream;
            stream.Write(QByteArray(50, 'p'));
            stream.SaveToFile(file);
        });
    }
    void missingFolderSaidInPortuguese()
    {
        QFETCH(Writer, write);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("falta/saida"));
        QString message;
        try {
            write(file);
        } catch (const ERepError &e) {
            message = e.Message();
        }
        QCOMPARE(message, QStringLiteral("Não foi possível criar o arquivo \"%1\": a pasta não existe.").arg(file));
    }
};

QTEST_MAIN(TstTRepFileCommit)
#include "tst_trepfilecommit.moc"
