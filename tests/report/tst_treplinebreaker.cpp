#include "report/generate/treplinebreaker.h"

#include <QtTest>

namespace {
// Every character 10 pixels wide: an element 100 pixels wide takes 10.
double Mono(const QString &s) { return 10.0 * s.size(); }
}

class TstTRepLineBreaker : public QObject
{
    Q_OBJECT
private slots:
    void words()
    {
        QCOMPARE(TRepLineBreaker::SplitWords("ab cd-ef  g"),
                 QStringList({"ab ", "cd-", "ef ", " ", "g"}));
        QCOMPARE(TRepLineBreaker::SplitWords(""), QStringList());
    }

    void format_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<bool>("autoSize");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("fits on one line") << "short text" << 100.0 << false << QStringList{"short text"};
        QTest::newRow("breaks at spaces") << "aaaa bbbb cccc dddd" << 100.0 << false
                                          << QStringList{"aaaa bbbb ", "cccc dddd"};
        QTest::newRow("breaks after hyphens") << "aaaa-bbbb-cccc" << 100.0 << false
                                              << QStringList{"aaaa-bbbb-", "cccc"};
        // A word wider than the element: what fits is kept, the rest of the
        // word is dropped; the line the word would have started stays empty.
        QTest::newRow("word wider than element") << "abcdefghijklmnop" << 100.0 << false
                                                 << QStringList{"abcdefghi", ""};
        QTest::newRow("long word after a short one") << "ab abcdefghijklmnop xy" << 100.0 << false
                                                     << QStringList{"ab ", "abcdefghij", "xy"};
        QTest::newRow("width 0 drops words") << "ab cd" << 0.0 << false << QStringList{"", "", ""};
        QTest::newRow("autosize never wraps") << "aaaa bbbb cccc dddd" << 100.0 << true
                                              << QStringList{"aaaa bbbb cccc dddd"};
        QTest::newRow("CR LF pairs break") << "one\r\ntwo\r\nthree" << 100.0 << true
                                           << QStringList{"one", "two", "three"};
        QTest::newRow("line feeds alone do not") << "one\ntwo\nthree" << 100.0 << true
                                                 << QStringList{"onetwothree"};
        QTest::newRow("empty paragraph is an empty line") << "a\r\n\r\nb" << 100.0 << true
                                                          << QStringList{"a", "", "b"};
        QTest::newRow("paragraphs wrap on their own") << "aaaa bbbb cccc\r\nx" << 100.0 << false
                                                      << QStringList{"aaaa bbbb ", "cccc", "x"};
        QTest::newRow("empty text is one empty line") << "" << 100.0 << false << QStringList{""};
    }
    void format()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(bool, autoSize);
        QFETCH(QStringList, lines);
        TRepLineBreaker b(Mono, width, autoSize);
        QCOMPARE(b.FormatText(text), lines);
    }

    void everyLineWithinWidth()
    {
        // Whatever the text, no wrapped line is wider than the element.
        const QString text = QStringLiteral("Rua das Flores, 1234 - apartamento 56 - bloco B - "
                                            "referência: ao lado da padaria Pão-Quente-Supercalifragilístico");
        for (double w : {35.0, 60.0, 100.0, 155.0}) {
            TRepLineBreaker b(Mono, w, false);
            for (const QString &l : b.FormatText(text))
                QVERIFY2(Mono(l) <= w, qPrintable(QString("%1 at %2").arg(l).arg(w)));
        }
    }

    void nonWrappingKeepsFirstLine()
    {
        TRepLineBreaker b(Mono, 100.0, false, false);
        QCOMPARE(b.FormatText("aaaa bbbb cccc dddd\r\nee ff"), QStringList({"aaaa bbbb ", "ee ff"}));
    }

    void memoLines()
    {
        TRepLineBreaker sized(Mono, 50.0, true);
        QCOMPARE(sized.FormatMemo("first line\r\nsecond\nthird\n"), QStringList({"first line", "second", "third"}));
        TRepLineBreaker wrapped(Mono, 60.0, false);
        QCOMPARE(wrapped.FormatMemo("aa bb cc\n\ndd"), QStringList({"aa bb ", "cc", "", "dd"}));
    }
};

QTEST_GUILESS_MAIN(TstTRepLineBreaker)
#include "tst_treplinebreaker.moc"
