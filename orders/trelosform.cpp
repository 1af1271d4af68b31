#include "orders/trelosform.h"

#include "data/reportdata/tfbreportdataset.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/treloslayout.h"
#include "orders/treltextroom.h"
#include "report/export/treppdffilter.h"
#include "report/export/treprtffilter.h"
#include "report/generate/trepexportfilterlibrary.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepdbtext.h"
#include "report/model/trepreport.h"

TRelOSForm *RelOSForm = nullptr;

namespace {

TFbQuery *MakeQuery(QObject *parent, const QString &name, const QString &sql, TDM *dm)
{
    TFbQuery *q = TDM::NewQuery(dm, parent, name);
    q->SetCachedUpdates(false);
    q->SetSQL(sql);
    return q;
}

} // namespace

TRelOSForm::TRelOSForm(TDM *dm, QObject *parent)
    : QObject(parent)
    , m_dm(dm ? dm : DM)
{
    setObjectName(QStringLiteral("RelOSForm"));
    Report1 = TRelOSLayout::Load(this);
    FbQuery1 = MakeQuery(this, QStringLiteral("FbQuery1"), QStringLiteral("select * from CLIENTES"), m_dm);
    FbQuery2 = MakeQuery(this, QStringLiteral("FbQuery2"), QStringLiteral("select * from ORDEMSERV"), m_dm);
    FbQuery3 = MakeQuery(this, QStringLiteral("FbQuery3"), QStringLiteral("select * from CONFIG"), m_dm);
    m_client = std::make_unique<TFbReportDataSet>(FbQuery1);
    m_order = std::make_unique<TFbReportDataSet>(FbQuery2);
    m_config = std::make_unique<TFbReportDataSet>(FbQuery3);
    for (TFbReportDataSet *ds : {m_client.get(), m_order.get(), m_config.get()})
        Report1->BindDataSet(ds->DataSetName(), ds);
    // No value prints over the label or rule beside it.
    for (TRepPrintable *e : Report1->AllElements())
        if (auto *text = qobject_cast<TRepDBText *>(e))
            TRelTextRoom::Install(*text);
    RegisterExportFilters();
    if (!RelOSForm)
        RelOSForm = this;
}

TRelOSForm::~TRelOSForm()
{
    if (RelOSForm == this)
        RelOSForm = nullptr;
    // The report's data texts point at the adapters: the report goes first.
    delete Report1;
    Report1 = nullptr;
}

void TRelOSForm::RegisterExportFilters()
{
    // Each registers itself in the filter library while it lives.
    PDFFilter = new TRepPDFFilter(this);
    PDFFilter->CompressionOn = false;
    RTFFilter = new TRepRTFFilter(this);
}

void TRelOSForm::ReopenConfig()
{
    FbQuery3->Reopen(QStringLiteral("select * from config where idconfig = 1"));
}

void TRelOSForm::SetOrderTextsEnabled(bool on)
{
    for (const QString &name : TRelOSLayout::OrderDataTexts())
        if (TRepPrintable *e = Report1->FindElement(name))
            e->Enabled = on;
}

void TRelOSForm::FillOrder(int idOrdem)
{
    // The order first, then the client it belongs to: the shared client
    // dataset may be on another client by now.
    FbQuery2->Reopen(QStringLiteral("select * from ordemserv where idordem=") + QString::number(idOrdem));
    int idCliente = 0;
    bool known = false;
    if (!FbQuery2->IsEmpty()) {
        TFbField *f = FbQuery2->FindField(QStringLiteral("IDCLIENTE"));
        if (f && !f->IsNull()) {
            idCliente = f->AsInteger();
            known = true;
        }
    }
    FbQuery1->Reopen(known ? QStringLiteral("select * from clientes where idcliente=") + QString::number(idCliente)
                           : QStringLiteral("select * from clientes where 1=0"));
    ReopenConfig();
    SetOrderTextsEnabled(true);
    // The document's title (preview window, print queue, PDF) names the
    // order, so that it is not taken for the order screen.
    QString number;
    if (!FbQuery2->IsEmpty())
        if (TFbField *f = FbQuery2->FindField(QStringLiteral("NORDEM")))
            number = f->AsString().trimmed();
    Report1->ReportTitle = number.isEmpty() ? QStringLiteral("Ordem de Serviço")
                                            : QStringLiteral("Ordem de Serviço nº %1").arg(number);
}

void TRelOSForm::FillBlank()
{
    ReopenConfig();
    SetOrderTextsEnabled(false);
    Report1->ReportTitle = QStringLiteral("Ordem de Serviço em branco");
}

void TRelOSForm::ShowPreview()
{
    TRepGenerator::Of(Report1)->ShowPreview();
}

void TRelOSForm::PrintOrder(int idOrdem)
{
    FillOrder(idOrdem);
    ShowPreview();
}

void TRelOSForm::PrintBlank()
{
    FillBlank();
    ShowPreview();
}
