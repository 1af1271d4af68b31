#pragma once

// The service order printout filled from memory datasets, for the export tests.

#include "orders/treloslayout.h"
#include "report/model/trepreport.h"
#include "tests/support/trepmemorydataset.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

namespace ExportTools {

// The printout with one client, one order and the header lines.
struct Printout
{
    TRepMemoryDataSet client{QStringLiteral("FbQuery1")};
    TRepMemoryDataSet order{QStringLiteral("FbQuery2")};
    TRepMemoryDataSet config{QStringLiteral("FbQuery3")};
    std::unique_ptr<TRepReport> report;

    explicit Printout(const QString &description = QStringLiteral("Troca de tela (garantia)"))
    {
        const QStringList clientFields{"NOME", "FONECOM", "FONERES", "FONECEL", "CIDADE", "END1", "END2",
                                       "UF",   "CEP",     "CPF",     "CNPJ",    "RG",     "IE",   "PESSOACONT"};
        for (const QString &f : clientFields)
            client.AddField(f, TRepFieldKind::String);
        client.AppendRow({"Ana Souza", "(41) 3333-0000", "", "(41) 99999-0000", "Curitiba", "Rua São João, 12",
                          "Centro", "PR", "80000-000", "123.456.789-00", "", "1234567", "", "João"});
        order.AddField("NORDEM", TRepFieldKind::String);
        order.AddField("SOLICITANTE", TRepFieldKind::String);
        order.AddField("DATACAD", TRepFieldKind::DateTime);
        order.AddField("DESCRICAO", TRepFieldKind::String);
        order.AddField("VALORTOT", TRepFieldKind::Float);
        order.AppendRow({"000123", "Márcia", QDateTime(QDate(2026, 3, 5), QTime(0, 0)), description, 1234.5});
        for (const char *f : {"CAB1", "CAB2", "CAB3", "CAB4"})
            config.AddField(QString::fromLatin1(f), TRepFieldKind::String);
        config.AppendRow({"Oficina do Zé", "Consertos em geral", "Rua Ébano, 5 - Fone 3333-1111", "Nº 1 em serviço"});
        report.reset(TRelOSLayout::Load());
        report->ShowProgress = false;
        report->BindDataSet(client.DataSetName(), &client);
        report->BindDataSet(order.DataSetName(), &order);
        report->BindDataSet(config.DataSetName(), &config);
    }
};

} // namespace ExportTools
