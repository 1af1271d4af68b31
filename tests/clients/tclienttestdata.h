#pragma once
// Test data for the client screens: rows written straight into a fresh
// database file through the data module's scratch query, and counts read
// back from the file the same way.
#include "data/tdmschema.h"
#include "tests/support/tscreentestdata.h"

namespace TClientTestData {

using TScreenTestData::Count;
using TScreenTestData::Exec;
using TScreenTestData::OnModal;
using TScreenTestData::Quoted;
using TScreenTestData::Text;

struct Client {
    int id;
    QString nome;
    QString tipoAnot = QStringLiteral("null");   // SQL literal
    QString tipoPessoa = QStringLiteral("1");
    QString cidade = QString();
    QString end1 = QString();
};

inline void AddClient(const Client &c)
{
    Exec(QStringLiteral("insert into clientes (idcliente, nome, tipoanot, tipopessoa, cidade, end1, "
                        "cnpj, cpf) values (%1, %2, %3, %4, %5, %6, 'CNPJ %1', 'CPF %1')")
             .arg(c.id)
             .arg(Quoted(c.nome), c.tipoAnot, c.tipoPessoa, Quoted(c.cidade), Quoted(c.end1)));
    // Rows written with their own keys: the key generators go past them,
    // as they do when a database is opened.
    TDmSchema::BringUpToDate(*DM->Database);
}

inline void AddOrder(int idOrdem, int idCliente)
{
    Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, descricao, nordem) "
                        "values (%1, %2, 'Item %1', '%3')")
             .arg(idOrdem)
             .arg(idCliente)
             .arg(idOrdem, 6, 10, QLatin1Char('0')));
    TDmSchema::BringUpToDate(*DM->Database);
}

// The client dataset as the main window leaves it when it opens the list.
inline void ListAllClients()
{
    TFbQuery *q = DM->ClientesQuery;
    q->Close();
    q->SetSQL(QStringLiteral("select * from clientes order by nome"));
    q->Open();
}

inline QStringList Names()
{
    QStringList names;
    TFbQuery *q = DM->ClientesQuery;
    TFbField *f = q->FieldByName(QStringLiteral("NOME"));
    for (int row = 0; row < q->RecordCount(); ++row)
        names << f->AsStringAt(row);
    return names;
}

} // namespace TClientTestData
