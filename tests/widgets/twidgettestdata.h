#pragma once
// A fresh database file with a data module for the widget tests, and rows
// written straight into it.
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "tests/support/tfbtestdb.h"

#include <QString>

namespace TWidgetTestData {

inline void Exec(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Execute();
}

inline void Reopen(TFbQuery *q, const QString &sql)
{
    q->Close();
    q->SetSQL(sql);
    q->Open();
}

inline void AddClients(int count, int firstId = 1)
{
    for (int i = 0; i < count; ++i) {
        const int id = firstId + i;
        Exec(QStringLiteral("insert into clientes (idcliente, nome, tipoanot) values (%1, 'CLIENTE %2', %3)")
                 .arg(id)
                 .arg(id, 3, 10, QLatin1Char('0'))
                 .arg(id % 5));
    }
    // Rows written with their own keys: the key generators go past them,
    // as they do when a database is opened.
    TDmSchema::BringUpToDate(*DM->Database);
    Reopen(DM->ClientesQuery, QStringLiteral("select * from clientes order by nome"));
}

} // namespace TWidgetTestData
