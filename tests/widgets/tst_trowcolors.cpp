// The row-colour rules the grids paint with.
#include "widgets/trowcolors.h"

#include <QTest>

using OptColor = std::optional<QColor>;
Q_DECLARE_METATYPE(OptColor)

class TstTRowColors : public QObject
{
    Q_OBJECT
private slots:
    void annotation_data();
    void annotation();
    void textRules();
};

void TstTRowColors::annotation_data()
{
    QTest::addColumn<std::optional<int>>("tipo");
    QTest::addColumn<OptColor>("color");
    QTest::newRow("null") << std::optional<int>() << OptColor();
    QTest::newRow("1 black") << std::optional<int>(1) << OptColor(QColor(0, 0, 0));
    QTest::newRow("2 green") << std::optional<int>(2) << OptColor(QColor(0, 128, 0));
    QTest::newRow("3 blue") << std::optional<int>(3) << OptColor(QColor(0, 0, 255));
    QTest::newRow("4 red") << std::optional<int>(4) << OptColor(QColor(255, 0, 0));
    QTest::newRow("0") << std::optional<int>(0) << OptColor();
    QTest::newRow("5") << std::optional<int>(5) << OptColor();
}

void TstTRowColors::annotation()
{
    QFETCH(std::optional<int>, tipo);
    QFETCH(OptColor, color);
    QCOMPARE(TRowColors::Annotation(tipo), color);
}

void TstTRowColors::textRules()
{
    // Status and movement kind are compared exactly: case and accents count.
    QCOMPARE(TRowColors::Status(QStringLiteral("Não Atendido")), OptColor(QColor(255, 0, 0)));
    QCOMPARE(TRowColors::Status(QStringLiteral("Em Andamento")), OptColor(QColor(0, 128, 0)));
    QCOMPARE(TRowColors::Status(QStringLiteral("Concluído")), OptColor(QColor(128, 128, 128)));
    QCOMPARE(TRowColors::Status(QStringLiteral("Concluido")), OptColor());
    QCOMPARE(TRowColors::Status(QString()), OptColor());
    QCOMPARE(TRowColors::Movement(QStringLiteral("entrada")), OptColor(QColor(0, 0, 255)));
    QCOMPARE(TRowColors::Movement(QStringLiteral("saida")), OptColor(QColor(255, 0, 0)));
    QCOMPARE(TRowColors::Movement(QStringLiteral("Saida")), OptColor());
    QCOMPARE(TRowColors::Stock(4, 5), QColor(255, 0, 0));
    QCOMPARE(TRowColors::Stock(5, 5), QColor(0, 0, 128));
    QCOMPARE(TRowColors::Stock(0, 0), QColor(0, 0, 128));
    QCOMPARE(TRowColors::Stock(-1, 0), QColor(255, 0, 0));
}

QTEST_APPLESS_MAIN(TstTRowColors)
#include "tst_trowcolors.moc"
