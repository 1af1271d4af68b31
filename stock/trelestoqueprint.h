#pragma once
// The printout of the stock movement report screen: the movements it shows
// (its current statement), product by product with each product's entries
// and exits summed, the totals at the end, the kind and the period in the
// title. A stored report layout (relestoque.json) with its data through
// report dataset adapters over two queries: Movements and Config.
#include <QObject>
#include <QString>

#include <memory>

class TDM;
class TFbQuery;
class TFbReportDataSet;
class TRepReport;

class TRelEstoquePrint : public QObject
{
    Q_OBJECT
public:
    explicit TRelEstoquePrint(TDM *dm = nullptr, QObject *parent = nullptr);
    ~TRelEstoquePrint() override;

    static QString ResourcePath();

    // The rows of `shown` (the screen's statement) with ENTRADAS and SAIDAS
    // (the quantity in the column of its kind, zero in the other), ordered
    // product by product, oldest first.
    static QString Statement(const QString &shown);
    // "Relatório de Estoque - Entradas - 01/01/2024 a 31/01/2024"; the kind
    // is the screen's (0 all, 1 entries, 2 exits); the period is the boxes'
    // texts when both were given.
    static QString Title(int kind, const QString &startText, const QString &endText);

    void Fill(const QString &shown, const QString &title);
    // Fill, then the preview; returns when the preview closes.
    void Preview(const QString &shown, const QString &title);

    TRepReport *Report1 = nullptr;
    TFbQuery *Movements = nullptr;
    TFbQuery *Config = nullptr;

private:
    TDM *m_dm;
    std::unique_ptr<TFbReportDataSet> m_movements;
    std::unique_ptr<TFbReportDataSet> m_config;
};
