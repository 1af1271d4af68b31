// Which characters a text column (Windows-1252) keeps as themselves: the
// Portuguese letters and the typographic signs of the code page are held;
// letters of other alphabets, symbols past the code page and control
// characters are refused, the latter except line breaks and tabs in a
// multi-line text.
#include "data/tdbcharset.h"

#include <QtTest>

class TstTDbCharset : public QObject
{
    Q_OBJECT
private slots:
    void lostCharactersAreRefused_data();
    void lostCharactersAreRefused();
    void messageNamesTheCharacter_data();
    void messageNamesTheCharacter();
};

void TstTDbCharset::lostCharactersAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<int>("refusedAt");   // -1: every character held

    QTest::newRow("plain ASCII") << "CLIENTE 001 - Rua A, 12" << false << -1;
    QTest::newRow("Portuguese letters") << QStringLiteral("Ação São João Ç ã õ â ê ô à ü") << false << -1;
    QTest::newRow("euro, curly quotes, en dash")
        << QStringLiteral("€ 10 “caro” – ‘sim’ … — ™ Œ š ž Ÿ") << false << -1;
    QTest::newRow("Latin-1 symbols") << QStringLiteral("º ª § ° ½ © ® ÷ × ÿ") << false << -1;
    QTest::newRow("no-break space") << QStringLiteral("R$\u00a010") << false << -1;
    QTest::newRow("Polish L stroke") << QStringLiteral("Łukasz") << false << 0;
    QTest::newRow("Polish after held letters") << QStringLiteral("Żółć") << false << 0;
    QTest::newRow("o acute held, l stroke not") << QStringLiteral("ółć") << false << 1;
    QTest::newRow("smiley") << QStringLiteral("ok ☺") << false << 3;
    QTest::newRow("emoji outside the basic plane") << QStringLiteral("a\U0001F600") << false << 1;
    QTest::newRow("Cyrillic") << QStringLiteral("Иван") << false << 0;
    QTest::newRow("BEL in one line") << QStringLiteral("ab\u0007") << false << 2;
    QTest::newRow("ESC in one line") << QStringLiteral("\u001bx") << false << 0;
    QTest::newRow("DEL in one line") << QStringLiteral("x\u007f") << false << 1;
    QTest::newRow("C1 control") << QStringLiteral("x\u0085") << false << 1;
    QTest::newRow("line break in one line") << QStringLiteral("a\nb") << false << 1;
    QTest::newRow("tab in one line") << QStringLiteral("a\tb") << false << 1;
    QTest::newRow("line breaks and tab in many lines") << QStringLiteral("a\r\nb\tc\n") << true << -1;
    QTest::newRow("BEL in many lines") << QStringLiteral("a\nb\u0007") << true << 3;
    QTest::newRow("NUL in many lines") << QStringLiteral("\u0000") << true << 0;
    QTest::newRow("empty") << QString() << false << -1;
}

void TstTDbCharset::lostCharactersAreRefused()
{
    QFETCH(QString, text);
    QFETCH(bool, multiLine);
    QFETCH(int, refusedAt);
    const auto lines = multiLine ? TDbCharset::Lines::Many : TDbCharset::Lines::One;
    QCOMPARE(TDbCharset::FirstRefused(text, lines), qsizetype(refusedAt));
    // What is held goes through the code page and back unchanged; what is
    // refused would not.
    if (refusedAt < 0 && !multiLine) {
        QStringDecoder toUnicode("windows-1252");
        QStringEncoder fromUnicode("windows-1252");
        if (fromUnicode.isValid() && toUnicode.isValid()) {
            const QString back = toUnicode(fromUnicode(text));
            QCOMPARE(back, text);
        }
    }
}

void TstTDbCharset::messageNamesTheCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("named");

    QTest::newRow("letter") << QStringLiteral("Łukasz") << 0 << QStringLiteral("\"Ł\"");
    QTest::newRow("two-unit emoji") << QStringLiteral("a\U0001F600") << 1 << QStringLiteral("\"\U0001F600\"");
    QTest::newRow("control by its code") << QStringLiteral("a\u0007") << 1 << QStringLiteral("código 7");
}

void TstTDbCharset::messageNamesTheCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(QString, named);
    const QString message = TDbCharset::RefusedMessage(text, at);
    QVERIFY2(message.contains(named), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("não pode ser gravado")));
}

QTEST_GUILESS_MAIN(TstTDbCharset)
#include "tst_tdbcharset.moc"
