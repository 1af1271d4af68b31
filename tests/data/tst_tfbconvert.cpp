// Text, number and date conversions of the data layer (no database).
#include "data/tfbconvert.h"

#include <QLocale>
#include <QtTest>

class TstTFbConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void everyAnsiByteRoundTrips()
    {
        QByteArray all;
        for (int i = 1; i < 256; ++i)
            all.append(char(i));
        const QString u = TFbConvert::FromAnsi(all);
        QCOMPARE(u.size(), 255);
        QCOMPARE(TFbConvert::ToAnsi(u), all);
        QCOMPARE(TFbConvert::FromAnsi(QByteArray("\x80\xe7\xe3", 3)), QStringLiteral("€çã"));
    }

    void unicodeOutsideCodePageBecomesQuestionMark()
    {
        QCOMPARE(TFbConvert::ToAnsi(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
        // A character outside the BMP is one character: one '?'.
        QCOMPARE(TFbConvert::ToAnsi(QString::fromUtf8("x\xf0\x9f\x98\x80y")), QByteArray("x?y"));
    }

    void parseDateTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("dd/mm/yyyy") << "05/03/2024" << true << QDateTime(QDate(2024, 3, 5), QTime(0, 0));
        QTest::newRow("d/m/yyyy") << "5/3/2024" << true << QDateTime(QDate(2024, 3, 5), QTime(0, 0));
        QTest::newRow("with time") << "05/03/2024 14:30" << true << QDateTime(QDate(2024, 3, 5), QTime(14, 30));
        QTest::newRow("with seconds") << " 05/03/2024 14:30:15 " << true << QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15));
        QTest::newRow("two-digit year") << "05/03/24" << true << QDateTime(QDate(2024, 3, 5), QTime(0, 0));
        QTest::newRow("31 February") << "31/02/2024" << false << QDateTime();
        QTest::newRow("29 Feb leap") << "29/02/2024" << true << QDateTime(QDate(2024, 2, 29), QTime(0, 0));
        QTest::newRow("month 13") << "01/13/2024" << false << QDateTime();
        QTest::newRow("day blank") << "/03/2024" << false << QDateTime();
        QTest::newRow("letters") << "ontem" << false << QDateTime();
        QTest::newRow("bad hour") << "05/03/2024 25:00" << false << QDateTime();
        QTest::newRow("empty") << "" << false << QDateTime();
    }
    void parseDateTime()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QDateTime, expected);
        QDateTime got;
        QCOMPARE(TFbConvert::ParseDateTime(text, got), ok);
        if (ok)
            QCOMPARE(got, expected);
    }

    void dateTimeTextShowsTimeOnlyWhenNotMidnight()
    {
        QCOMPARE(TFbConvert::DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), QStringLiteral("05/03/2024"));
        QCOMPARE(TFbConvert::DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7))),
                 QStringLiteral("05/03/2024 09:05:07"));
        QCOMPARE(TFbConvert::FormatDateTime(QDateTime(QDate(2024, 3, 5), QTime(9, 5)), "dd/mm/yyyy"),
                 QStringLiteral("05/03/2024"));
        QCOMPARE(TFbConvert::FormatDateTime(QDateTime(QDate(2024, 3, 5), QTime(9, 5)), "dd/mm/yyyy hh:mm"),
                 QStringLiteral("05/03/2024 09:05"));
    }

    // Whatever the settings, the date text the layer writes reads back as
    // the same date (the new-record rule relies on it).
    void dateTextRoundTripsUnderAnyLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("C") << QLocale::c();
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("pt_BR") << QLocale(QLocale::Portuguese, QLocale::Brazil);
    }
    void dateTextRoundTripsUnderAnyLocale()
    {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        const QDateTime dt(QDate(2024, 11, 5), QTime(0, 0));
        QDateTime back;
        const bool ok = TFbConvert::ParseDateTime(TFbConvert::DateTimeText(dt), back);
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QVERIFY(ok);
        QCOMPARE(back, dt);
    }

    void timestampPackingMatchesEngineEpoch()
    {
        // 17/11/1858 is day 0 of a dialect 1 date.
        const QDateTime epoch(QDate(1858, 11, 17), QTime(0, 0));
        QCOMPARE(TFbConvert::FromDateTime(epoch), qint64(0));
        const QDateTime dt(QDate(2024, 3, 5), QTime(14, 30, 15, 120));
        QCOMPARE(TFbConvert::ToDateTime(TFbConvert::FromDateTime(dt)), dt);
        QCOMPARE(TFbConvert::ToDateTime(TFbConvert::FromDateTime(QDateTime(QDate(1800, 1, 1), QTime(1, 0)))),
                 QDateTime(QDate(1800, 1, 1), QTime(1, 0)));
    }

    void numbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("134.5") << 134.5 << "134,5";
        QTest::newRow("integer") << 1234.0 << "1234";
        QTest::newRow("negative") << -0.25 << "-0,25";
        QTest::newRow("tenths") << 0.1 << "0,1";
    }
    void numbers()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(TFbConvert::FloatText(value), text);
        double back = 0;
        QVERIFY(TFbConvert::ParseFloat(text, back));
        QCOMPARE(back, value);
    }

    void badNumbersAreRefused()
    {
        double d;
        qint64 i;
        QVERIFY(!TFbConvert::ParseFloat("1.234,5", d));   // no grouping
        QVERIFY(!TFbConvert::ParseFloat("abc", d));
        QVERIFY(!TFbConvert::ParseFloat("", d));
        QVERIFY(!TFbConvert::ParseInteger("12a", i));
        QVERIFY(!TFbConvert::ParseInteger("99999999999999999999", i));
        QVERIFY(TFbConvert::ParseInteger(" -42 ", i));
        QCOMPARE(i, qint64(-42));
    }

    void currencyText()
    {
        QCOMPARE(TFbConvert::CurrencyText(1234.5), QStringLiteral("R$\u00a01.234,50"));
    }
};

QTEST_MAIN(TstTFbConvert)
#include "tst_tfbconvert.moc"
