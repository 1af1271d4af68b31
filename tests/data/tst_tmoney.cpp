// Exact money: typed Brazilian amounts, their texts, sums within the range
// and the trip through the database's floating-point columns (no database).
#include "data/efberror.h"
#include "data/tmoney.h"

#include <QtTest>

namespace {
TMoney Units(qint64 u) { return TMoney::FromUnits(u); }
}

class TstTMoney : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");   // TMoney::ParseResult
        QTest::addColumn<qint64>("units");
        const int ok = int(TMoney::ParseResult::Ok);
        const int bad = int(TMoney::ParseResult::NotAnAmount);
        const int range = int(TMoney::ParseResult::OutOfRange);
        QTest::newRow("whole") << "150" << ok << qint64(1500000);
        QTest::newRow("one decimal") << "150,5" << ok << qint64(1505000);
        QTest::newRow("grouped") << "1.234,50" << ok << qint64(12345000);
        QTest::newRow("two groups") << "1.234.567,89" << ok << qint64(12345678900);
        QTest::newRow("four decimals") << "0,0001" << ok << qint64(1);
        QTest::newRow("fifth decimal rounds up") << "0,00005" << ok << qint64(1);
        QTest::newRow("fifth decimal rounds down") << "0,00004" << ok << qint64(0);
        QTest::newRow("negative rounds away from zero") << "-2,00005" << ok << qint64(-20001);
        QTest::newRow("comma only decimals") << ",5" << ok << qint64(5000);
        QTest::newRow("trailing comma") << "12," << ok << qint64(120000);
        QTest::newRow("blanks around") << "  25,50 " << ok << qint64(255000);
        QTest::newRow("negative") << "-10,25" << ok << qint64(-102500);
        QTest::newRow("plus sign") << "+7" << ok << qint64(70000);
        QTest::newRow("currency text") << QStringLiteral("R$\u00a01.234,50") << ok << qint64(12345000);
        QTest::newRow("negative currency text") << QStringLiteral("R$\u00a0-1,50") << ok << qint64(-15000);
        QTest::newRow("exponent") << "1,5e3" << ok << qint64(15000000);
        QTest::newRow("negative exponent") << "25e-2" << ok << qint64(2500);
        QTest::newRow("leading zeros") << "000000000000000000012,3" << ok << qint64(123000);
        QTest::newRow("largest") << "99.999.999.999,9999" << ok << TMoney::MaxUnits;
        QTest::newRow("smallest") << "-99999999999,9999" << ok << -TMoney::MaxUnits;
        QTest::newRow("letters") << "abc" << bad << qint64(0);
        QTest::newRow("two commas") << "1,2,3" << bad << qint64(0);
        QTest::newRow("dot as decimal point") << "1.5" << bad << qint64(0);
        QTest::newRow("short group") << "1.23,00" << bad << qint64(0);
        QTest::newRow("two signs") << "--5" << bad << qint64(0);
        QTest::newRow("sign on both sides of symbol") << "-R$ -5" << bad << qint64(0);
        QTest::newRow("sign alone") << "-" << bad << qint64(0);
        QTest::newRow("comma alone") << "," << bad << qint64(0);
        QTest::newRow("exponent alone") << "e5" << bad << qint64(0);
        QTest::newRow("digits then letters") << "12abc" << bad << qint64(0);
        QTest::newRow("one past the largest") << "100.000.000.000" << range << qint64(0);
        QTest::newRow("1e15") << "1e15" << range << qint64(0);
        QTest::newRow("smallest unit past the largest") << "99999999999,99995" << range << qint64(0);
        QTest::newRow("huge exponent") << "1e99999999999999999999" << range << qint64(0);
        QTest::newRow("tiny exponent is zero") << "1e-99999999999999999999" << ok << qint64(0);
        QTest::newRow("many digits") << "123456789012345678901234567890" << range << qint64(0);
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(int, result);
        QFETCH(qint64, units);
        TMoney m;
        QCOMPARE(int(TMoney::TryParse(text, m)), result);
        if (result == int(TMoney::ParseResult::Ok))
            QCOMPARE(m.Units(), units);
    }

    void parseGivesClearMessagesAndZeroForEmpty()
    {
        QCOMPARE(TMoney::Parse(QStringLiteral("  ")), TMoney());
        TMoney m;
        QCOMPARE(TMoney::TryParse(QString(), m), TMoney::ParseResult::Empty);
        try {
            TMoney::Parse(QStringLiteral("1,2,3"));
            QFAIL("no error");
        } catch (const EFbError &e) {
            QCOMPARE(e.Message(), TMoney::NotAnAmountMessage(QStringLiteral("1,2,3")));
            QVERIFY(e.Message().contains(QStringLiteral("não é um valor válido")));
        }
        try {
            TMoney::Parse(QStringLiteral("1e15"));
            QFAIL("no error");
        } catch (const EFbError &e) {
            QVERIFY(e.Message().contains(QStringLiteral("fora do limite")));
        }
        QVERIFY_THROWS_EXCEPTION(EFbError, TMoney::FromUnits(TMoney::MaxUnits + 1));
    }

    void texts_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("editText");
        QTest::newRow("zero") << qint64(0) << "0,00" << "0,00";
        QTest::newRow("two decimals") << qint64(1345000) << "134,50" << "134,50";
        QTest::newRow("grouped") << qint64(12345000) << "1.234,50" << "1234,50";
        QTest::newRow("four decimals kept") << qint64(12345) << "1,2345" << "1,2345";
        QTest::newRow("three decimals") << qint64(12340) << "1,234" << "1,234";
        QTest::newRow("negative") << qint64(-10000000) << "-1.000,00" << "-1000,00";
        QTest::newRow("largest") << TMoney::MaxUnits << "99.999.999.999,9999" << "99999999999,9999";
        QTest::newRow("below one") << qint64(-5) << "-0,0005" << "-0,0005";
    }
    void texts()
    {
        QFETCH(qint64, units);
        QFETCH(QString, text);
        QFETCH(QString, editText);
        const TMoney m = Units(units);
        QCOMPARE(m.Text(), text);
        QCOMPARE(m.EditText(), editText);
        // The sign before the symbol: "R$ -1.000,00" read wrong on screen.
        QCOMPARE(m.CurrencyText(), units < 0 ? QStringLiteral("-R$\u00a0") + text.mid(1)
                                             : QStringLiteral("R$\u00a0") + text);
        // Every text reads back as the same amount.
        for (const QString &t : {m.Text(), m.EditText(), m.CurrencyText()}) {
            TMoney back;
            QCOMPARE(TMoney::TryParse(t, back), TMoney::ParseResult::Ok);
            QCOMPARE(back, m);
        }
    }

    void total_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("juros");
        QTest::addColumn<QString>("desconto");
        QTest::addColumn<QString>("total");   // empty: out of range
        QTest::newRow("order example") << "150,00" << "10,00" << "25,50" << "134,50";
        QTest::newRow("all empty") << "" << "" << "" << "0,00";
        QTest::newRow("only discount") << "" << "" << "5" << "-5,00";
        QTest::newRow("four decimals") << "0,0001" << "0,0002" << "0,0001" << "0,0002";
        QTest::newRow("tenths that drift in binary") << "0,1" << "0,2" << "0,3" << "0,00";
        QTest::newRow("large without drift") << "99.999.999.999,99" << "0,01" << "0,0001" << "99.999.999.999,9999";
        QTest::newRow("large with cents") << "12.345.678.901,23" << "1.111.111.111,11" << "0,34" << "13.456.790.012,00";
        QTest::newRow("discount brings it back in range") << "99.999.999.999" << "99.999.999.999" << "99.999.999.999" << "99.999.999.999,00";
        QTest::newRow("past the largest") << "99.999.999.999" << "1" << "" << "";
        QTest::newRow("past the smallest") << "" << "" << "99.999.999.999" << "-99.999.999.999,00";
    }
    void total()
    {
        QFETCH(QString, valor);
        QFETCH(QString, juros);
        QFETCH(QString, desconto);
        QFETCH(QString, total);
        const auto t = TMoney::Total(TMoney::Parse(valor), TMoney::Parse(juros), TMoney::Parse(desconto));
        if (total.isEmpty()) {
            QVERIFY(!t);
        } else {
            QVERIFY(t);
            QCOMPARE(t->Text(), total);
        }
    }

    void plusAndMinusStayInRange()
    {
        const TMoney max = Units(TMoney::MaxUnits);
        QVERIFY(!max.Plus(Units(1)));
        QVERIFY(!Units(-TMoney::MaxUnits).Minus(Units(1)));
        QCOMPARE(max.Minus(Units(1))->Units(), TMoney::MaxUnits - 1);
        QCOMPARE(Units(5).Plus(Units(-7))->Units(), qint64(-2));
    }

    void fromDouble_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("units");
        QTest::newRow("tenth") << 0.1 << true << qint64(1000);
        QTest::newRow("sum that drifted") << (0.1 + 0.2) << true << qint64(3000);
        QTest::newRow("total") << 134.5 << true << qint64(1345000);
        QTest::newRow("negative") << -25.5 << true << qint64(-255000);
        QTest::newRow("four decimals") << 1.2345 << true << qint64(12345);
        QTest::newRow("fifth decimal rounds") << 1.23456 << true << qint64(12346);
        QTest::newRow("largest") << 99999999999.9999 << true << TMoney::MaxUnits;
        QTest::newRow("large cents") << 12345678901.23 << true << qint64(123456789012300);
        QTest::newRow("zero") << 0.0 << true << qint64(0);
        QTest::newRow("too large") << 1e15 << false << qint64(0);
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false << qint64(0);
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false << qint64(0);
    }
    void fromDouble()
    {
        QFETCH(double, value);
        QFETCH(bool, ok);
        QFETCH(qint64, units);
        const auto m = TMoney::FromDouble(value);
        QCOMPARE(bool(m), ok);
        if (ok) {
            QCOMPARE(m->Units(), units);
            // And back: the nearest double of the exact amount.
            QCOMPARE(TMoney::FromDouble(m->ToDouble())->Units(), units);
        }
    }
};

QTEST_APPLESS_MAIN(TstTMoney)
#include "tst_tmoney.moc"
