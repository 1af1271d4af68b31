#include "orders/tperiodreport.h"

#include "data/efberror.h"
#include "data/reportdata/tfbreportdataset.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/tordemservform.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepcustomlabel.h"
#include "report/model/treplabel.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"
#include "widgets/tmaskdateedit.h"
#include "widgets/tsearchsql.h"

#include <QLocale>

// The resources of a static library are registered by hand, outside any namespace.
static void InitPeriodResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(orders);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

QString DateText(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

TPeriodReport::TPeriodReport(TDM *dm, QObject *parent)
    : QObject(parent)
    , m_dm(dm ? dm : DM)
{
    setObjectName(QStringLiteral("PeriodReport"));
    InitPeriodResources();
    Report1 = TRepLayout::LoadFromFile(ResourcePath(), this);
    Orders = TDM::NewQuery(m_dm, this, QStringLiteral("Orders"));
    Config = TDM::NewQuery(m_dm, this, QStringLiteral("Config"));
    m_orders = std::make_unique<TFbReportDataSet>(Orders);
    m_config = std::make_unique<TFbReportDataSet>(Config);
    Report1->BindDataSet(m_orders->DataSetName(), m_orders.get());
    Report1->BindDataSet(m_config->DataSetName(), m_config.get());
    // The orders saved without a status are one group too: its heading says
    // so instead of "Situação:" alone.
    if (auto *name = qobject_cast<TRepCustomLabel *>(Report1->FindElement(QStringLiteral("NomeGrupo"))))
        name->OnPrint = [](TRepCustomLabel *, QString &value) {
            if (value.trimmed().isEmpty())
                value = NoStatusText();
        };
}

QString TPeriodReport::NoStatusText()
{
    return QStringLiteral("(sem situação)");
}

TPeriodReport::~TPeriodReport()
{
    // The report's data texts point at the adapters: the report goes first.
    delete Report1;
    Report1 = nullptr;
}

QString TPeriodReport::ResourcePath()
{
    return QStringLiteral(":/orders/relosperiodo.json");
}

QStringList TPeriodReport::StatusChoices()
{
    return TOrdemservForm::Statuses();
}

QDate TPeriodReport::ReadDate(const QString &text, const QString &which)
{
    if (text.trimmed() == QLatin1String("/  /") || text.trimmed().isEmpty())
        throw EFbError(QStringLiteral("Informe a %1.").arg(which));
    const std::optional<QDate> date = TMaskDateEdit::ReadDate(text);
    if (!date)
        throw EFbError(QStringLiteral("A %1 \"%2\" não é uma data válida.").arg(which, text.trimmed()));
    return *date;
}

QString TPeriodReport::Statement(const QDate &start, const QDate &end, const QString &status, DateKind kind)
{
    if (!start.isValid() || !end.isValid())
        throw EFbError(QStringLiteral("Informe a data inicial e a data final."));
    if (start > end)
        throw EFbError(QStringLiteral("A data inicial (%1) é posterior à data final (%2).")
                           .arg(DateText(start), DateText(end)));
    const QString column = kind == Closed ? QStringLiteral("o.DATASAIDA") : QStringLiteral("o.DATACAD");
    QString sql = QStringLiteral("select o.IDORDEM, o.NORDEM, %1 as DATA, c.NOME, o.DESCRICAO, o.SITUACAO, o.VALORTOT"
                                 " from ORDEMSERV o left join CLIENTES c on c.IDCLIENTE = o.IDCLIENTE"
                                 " where %1 >= %2")
                      .arg(column, TSearchSql::DateLiteral(start));
    // The whole end day, whatever the time of day.
    const QDate after = end.addDays(1);
    if (after.year() <= 9999)
        sql += QStringLiteral(" and %1 < %2").arg(column, TSearchSql::DateLiteral(after));
    if (!status.isEmpty()) {
        QString quoted = status;
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
        sql += QStringLiteral(" and o.SITUACAO = \"%1\"").arg(quoted);
    }
    sql += QStringLiteral(" order by o.SITUACAO, %1, o.IDORDEM").arg(column);
    return sql;
}

qint64 TPeriodReport::CountRows(const QString &sql)
{
    // The rows' statement without its order: the count reads no more.
    QString from = sql;
    const qsizetype order = from.lastIndexOf(QLatin1String(" order by "));
    if (order > 0)
        from.truncate(order);
    TFbQuery count;
    count.SetDatabase(m_dm->Database);
    count.SetTransaction(m_dm->Transaction);
    count.SetSQL(QStringLiteral("select count(*) as N from (%1)").arg(from));
    count.Open();
    return count.Fields().front()->AsLargeInt();
}

QString TPeriodReport::TooLongMessage(qint64 rows, qint64 most)
{
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    return QStringLiteral("O período escolhido tem %1 ordens de serviço, e o relatório lista no máximo %2 "
                          "de uma vez. Escolha um período menor (ou uma só situação) e imprima por partes.")
        .arg(br.toString(rows), br.toString(most));
}

QString TPeriodReport::FilterText(const QDate &start, const QDate &end, const QString &status, DateKind kind)
{
    return QStringLiteral("Período: %1 a %2 - %3 - Situação: %4")
        .arg(DateText(start), DateText(end),
             kind == Closed ? QStringLiteral("Data de saída") : QStringLiteral("Data de cadastro"),
             status.isEmpty() ? QStringLiteral("Todos") : status);
}

void TPeriodReport::Fill(const QDate &start, const QDate &end, const QString &status, DateKind kind)
{
    const QString sql = Statement(start, end, status, kind);
    // Counted before anything is made: a report past what the page store
    // holds would otherwise fail after minutes of work, half made.
    const qint64 rows = CountRows(sql);
    if (rows > m_maxRows)
        throw EFbError(TooLongMessage(rows, m_maxRows));
    Config->Reopen(QStringLiteral("select * from config where idconfig = 1"));
    Orders->Reopen(sql);
    if (auto *filter = qobject_cast<TRepLabel *>(Report1->FindElement(QStringLiteral("Filtro"))))
        filter->SetCaption(FilterText(start, end, status, kind));
}

void TPeriodReport::Preview(const QDate &start, const QDate &end, const QString &status, DateKind kind)
{
    Fill(start, end, status, kind);
    TRepGenerator::Of(Report1)->ShowPreview();
}
