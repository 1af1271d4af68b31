#include "stock/trelestoqueprint.h"

#include "data/reportdata/tfbreportdataset.h"
#include "data/tdm.h"
#include "data/tfbquery.h"
#include "report/generate/trepgenerator.h"
#include "report/model/treplabel.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"

// The resources of a static library are registered by hand, outside any namespace.
static void InitStockResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(stock);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

bool Filled(const QString &text)
{
    return text.trimmed() != QLatin1String("/  /") && !text.trimmed().isEmpty();
}

} // namespace

TRelEstoquePrint::TRelEstoquePrint(TDM *dm, QObject *parent)
    : QObject(parent)
    , m_dm(dm ? dm : DM)
{
    setObjectName(QStringLiteral("RelEstoquePrint"));
    InitStockResources();
    Report1 = TRepLayout::LoadFromFile(ResourcePath(), this);
    Movements = TDM::NewQuery(m_dm, this, QStringLiteral("Movements"));
    Config = TDM::NewQuery(m_dm, this, QStringLiteral("Config"));
    m_movements = std::make_unique<TFbReportDataSet>(Movements);
    m_config = std::make_unique<TFbReportDataSet>(Config);
    Report1->BindDataSet(m_movements->DataSetName(), m_movements.get());
    Report1->BindDataSet(m_config->DataSetName(), m_config.get());
}

TRelEstoquePrint::~TRelEstoquePrint()
{
    // The report's data texts point at the adapters: the report goes first.
    delete Report1;
    Report1 = nullptr;
}

QString TRelEstoquePrint::ResourcePath()
{
    return QStringLiteral(":/stock/relestoque.json");
}

QString TRelEstoquePrint::Statement(const QString &shown)
{
    return QStringLiteral("select m.IDPROD, m.DESCRICAO, m.DATACAD, m.TIPO, m.QTDEENT, m.NOMEFORNE, m.OBS,"
                          " case when m.TIPO = \"entrada\" then m.QTDEENT else 0 end as ENTRADAS,"
                          " case when m.TIPO = \"saida\" then m.QTDEENT else 0 end as SAIDAS"
                          " from (%1) m order by m.DESCRICAO, m.IDPROD, m.DATACAD, m.IDPRODENT")
        .arg(shown);
}

QString TRelEstoquePrint::Title(int kind, const QString &startText, const QString &endText)
{
    QString title = QStringLiteral("Relatório de Estoque - ");
    title += kind == 1 ? QStringLiteral("Entradas") : kind == 2 ? QStringLiteral("Saídas")
                                                                 : QStringLiteral("Entradas e Saídas");
    if (Filled(startText) && Filled(endText))
        title += QStringLiteral(" - %1 a %2").arg(startText.trimmed(), endText.trimmed());
    else
        title += QStringLiteral(" - todo o período");
    return title;
}

void TRelEstoquePrint::Fill(const QString &shown, const QString &title)
{
    Config->Reopen(QStringLiteral("select * from config where idconfig = 1"));
    Movements->Reopen(Statement(shown));
    if (auto *label = qobject_cast<TRepLabel *>(Report1->FindElement(QStringLiteral("Titulo"))))
        label->SetCaption(title);
}

void TRelEstoquePrint::Preview(const QString &shown, const QString &title)
{
    Fill(shown, title);
    TRepGenerator::Of(Report1)->ShowPreview();
}
