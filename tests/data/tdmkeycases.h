#pragma once
// Two computers registering clients and orders on one database at the same
// time: each starts its new record before the other saves. Every save must
// succeed and no key may be handed out twice. Used on two embedded
// attachments and on two attachments through a server.
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"

#include <QSet>
#include <QString>
#include <exception>

namespace TDmKeyCases {

// Empty when all went well, else what went wrong.
inline QString RegisterAlternately(TDM &a, TDM &b, int rounds = 3)
{
    QSet<int> clients, orders;
    try {
        for (int round = 0; round < rounds; ++round) {
            TDM *both[] = {&a, &b};
            for (TDM *dm : both)
                dm->ClientesQuery->Append();
            for (TDM *dm : both) {
                dm->ClientesQueryNOME->SetAsString(QStringLiteral("Cliente %1").arg(round));
                dm->ClientesQuery->ApplyChanges();
                clients << dm->ClientesQueryIDCLIENTE->AsInteger();
            }
            for (TDM *dm : both)
                dm->OrdensQuery->Append();
            for (TDM *dm : both) {
                dm->OrdensQueryIDCLIENTE->SetAsInteger(dm->ClientesQueryIDCLIENTE->AsInteger());
                dm->OrdensQueryDESCRICAO->SetAsString(QStringLiteral("Rádio"));
                dm->OrdensQuery->ApplyChanges();
                orders << dm->OrdensQueryIDORDEM->AsInteger();
            }
        }
        if (clients.size() != 2 * rounds || orders.size() != 2 * rounds)
            return QStringLiteral("keys handed out twice: %1 clients and %2 orders with keys of their own")
                    .arg(clients.size())
                    .arg(orders.size());
        for (TDM *dm : {&a, &b}) {
            for (TFbQuery *q : {dm->ClientesQuery, dm->OrdensQuery}) {
                q->Close();
                q->Open();
                if (q->RecordCount() != 2 * rounds)
                    return QStringLiteral("%1 rows saved in %2, expected %3")
                            .arg(q->RecordCount())
                            .arg(q->objectName())
                            .arg(2 * rounds);
            }
        }
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}

} // namespace TDmKeyCases
