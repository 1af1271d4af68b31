#pragma once
// "Ordens de Serviço por Período": the orders registered (or closed) in a
// period, optionally of one status, grouped by status with each group's
// count and sum and the period's at the end, under the shop's header lines.
// The layout is a stored report layout (relosperiodo.json); its data comes
// through report dataset adapters over two queries on the data module's
// connection: Orders (the rows) and Config (the header lines).
#include <QDate>
#include <QObject>
#include <QString>

#include <memory>

class TDM;
class TFbQuery;
class TFbReportDataSet;
class TRepReport;

class TPeriodReport : public QObject
{
    Q_OBJECT
public:
    enum DateKind { Registered = 0, Closed = 1 };

    explicit TPeriodReport(TDM *dm = nullptr, QObject *parent = nullptr);
    ~TPeriodReport() override;

    static QString ResourcePath();

    // The heading of the group of orders without a status.
    static QString NoStatusText();

    // The statuses the filter offers after "Todos" (the order screen's).
    static QStringList StatusChoices();

    // A box's text read day/month/year ("01/05/2008", " 1/ 5/2008");
    // EFbError with a message for the user when it is blank or no date.
    static QDate ReadDate(const QString &text, const QString &which);

    // The rows' statement: number, date (DATA: registered or closed), client,
    // description, status, total; the whole end day included; ordered by
    // status, date and number so that each status is one group. An empty
    // status lists every status. Throws EFbError when start is after end.
    static QString Statement(const QDate &start, const QDate &end, const QString &status, DateKind kind);
    // "Período: 01/01/2024 a 31/01/2024 - Data de cadastro - Situação: Todos".
    static QString FilterText(const QDate &start, const QDate &end, const QString &status, DateKind kind);

    // The most orders one report lists: about 22,000 pages, well inside
    // what its page store addresses (a longer one used to fail after
    // minutes, two thirds made). Tests make it smaller.
    static constexpr qint64 MaxRows = 1000000;
    void SetMaxRows(qint64 most) { m_maxRows = most; }
    // What the clerk reads when the period holds more orders than that.
    static QString TooLongMessage(qint64 rows, qint64 most);

    // Reads the rows and the header lines into the report; EFbError with
    // TooLongMessage, before anything is read, when there are too many.
    void Fill(const QDate &start, const QDate &end, const QString &status, DateKind kind);
    // Fill, then the preview; returns when the preview closes.
    void Preview(const QDate &start, const QDate &end, const QString &status, DateKind kind);

    TRepReport *Report1 = nullptr;
    TFbQuery *Orders = nullptr;
    TFbQuery *Config = nullptr;

private:
    qint64 CountRows(const QString &sql);

    TDM *m_dm;
    qint64 m_maxRows = MaxRows;
    std::unique_ptr<TFbReportDataSet> m_orders;
    std::unique_ptr<TFbReportDataSet> m_config;
};
