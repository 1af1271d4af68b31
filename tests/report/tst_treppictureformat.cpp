#include "report/generate/treppictureformat.h"

#include <QtTest>

class TstTRepPictureFormat : public QObject
{
    Q_OBJECT
    QLocale br{QLocale::Portuguese, QLocale::Brazil};
private slots:
    void numbers_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("money") << "R$ #,##0.00" << 1234.5 << "R$ 1.234,50";
        QTest::newRow("money zero") << "R$ #,##0.00" << 0.0 << "R$ 0,00";
        QTest::newRow("money millions") << "R$ #,##0.00" << 1234567.891 << "R$ 1.234.567,89";
        QTest::newRow("money negative") << "R$ #,##0.00" << -12.5 << "-R$ 12,50";
        QTest::newRow("halves round up") << "0.00" << 1.005 << "1,01";
        QTest::newRow("carry into integer") << "#,##0.00" << 999.999 << "1.000,00";
        QTest::newRow("padding zeros") << "000000" << 42.0 << "000042";
        QTest::newRow("optional digits") << "#.##" << 3.1 << "3,1";
        QTest::newRow("optional zero is empty") << "#" << 0.0 << "";
        QTest::newRow("no grouping without comma") << "0.0" << 12345.67 << "12345,7";
        QTest::newRow("literal in quotes") << "0 'un.'" << 7.0 << "7 un.";
        QTest::newRow("suffix") << "0.0%" << 12.34 << "12,3%";
        QTest::newRow("negative section") << "0.00;(0.00)" << -3.5 << "(3,50)";
        QTest::newRow("zero section") << "0.00;-0.00;'zero'" << 0.001 << "zero";
        QTest::newRow("integer part wider than picture") << "0" << 98765.0 << "98765";
    }
    void numbers()
    {
        QFETCH(QString, mask);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(TRepPictureFormat::FormatFloat(mask, value, br), expected);
    }

    void otherLocaleSeparators()
    {
        QCOMPARE(TRepPictureFormat::FormatFloat("#,##0.00", 1234.5, QLocale::c()), QString("1,234.50"));
    }

    void notANumberFails()
    {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 TRepPictureFormat::FormatFloat("0.00", std::nan(""), br));
    }

    void dates_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("expected");
        // 5 March 2026, 14:07:09.045, a Thursday
        QTest::newRow("dd/mm/yyyy") << "dd/mm/yyyy" << "05/03/2026";
        QTest::newRow("d/m/yy") << "d/m/yy" << "5/3/26";
        QTest::newRow("minutes after hours") << "hh:mm" << "14:07";
        QTest::newRow("hh:nn:ss") << "hh:nn:ss" << "14:07:09";
        QTest::newRow("month name") << "d 'de' mmmm 'de' yyyy" << "5 de março de 2026";
        QTest::newRow("short date") << "ddddd" << "05/03/2026";
        QTest::newRow("12-hour clock") << "h:nn am/pm" << "2:07 pm";
        QTest::newRow("milliseconds") << "ss.zzz" << "09.045";
        QTest::newRow("c with time") << "c" << "05/03/2026 14:07:09";
    }
    void dates()
    {
        QFETCH(QString, mask);
        QFETCH(QString, expected);
        const QDateTime v(QDate(2026, 3, 5), QTime(14, 7, 9, 45));
        QCOMPARE(TRepPictureFormat::FormatDateTime(mask, v, br), expected);
    }

    void dateOnlyHasNoTimeInC()
    {
        QCOMPARE(TRepPictureFormat::FormatDateTime("c", QDateTime(QDate(2026, 3, 5), QTime(0, 0)), br),
                 QString("05/03/2026"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, TRepPictureFormat::FormatDateTime("c", QDateTime(), br));
    }
};

QTEST_GUILESS_MAIN(TstTRepPictureFormat)
#include "tst_treppictureformat.moc"
