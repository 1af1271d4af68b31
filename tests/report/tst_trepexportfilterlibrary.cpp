#include "tests/support/recordingfilter.h"

#include "report/generate/trepexportfilterlibrary.h"

#include <QtTest>

class TstTRepExportFilterLibrary : public QObject
{
    Q_OBJECT
private slots:
    void registrationOrderAndDialogText()
    {
        QString madeFor;
        TRepExportFilterLibrary::Register("PDF document", "PDF", [&](const QString &file) {
            madeFor = file;
            return std::make_unique<RecordingFilter>();
        });
        TRepExportFilterLibrary::Register("Formato Word", "RTF", [](const QString &) {
            return std::make_unique<RecordingFilter>();
        });
        // Registering a name again replaces it where it stands.
        TRepExportFilterLibrary::Register("PDF document", "PDF", [&](const QString &file) {
            madeFor = "again " + file;
            return std::make_unique<RecordingFilter>();
        });
        const auto filters = TRepExportFilterLibrary::Filters();
        QCOMPARE(filters.size(), 2);
        QCOMPARE(filters.at(0).Name, QString("PDF document"));
        QCOMPARE(TRepExportFilterLibrary::DialogFilterSuffix(),
                 QString("|PDF document (*.PDF)|*.PDF|Formato Word (*.RTF)|*.RTF"));
        std::unique_ptr<TRepExportFilter> f = filters.at(0).Create("/tmp/os.pdf");
        QVERIFY(f);
        QCOMPARE(madeFor, QString("again /tmp/os.pdf"));
        TRepExportFilterLibrary::Unregister("PDF document");
        QCOMPARE(TRepExportFilterLibrary::Filters().size(), 1);
        TRepExportFilterLibrary::Unregister("Formato Word");
        QVERIFY(TRepExportFilterLibrary::DialogFilterSuffix().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstTRepExportFilterLibrary)
#include "tst_trepexportfilterlibrary.moc"
