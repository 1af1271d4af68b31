#pragma once
// Test data for the client screens: rows written straight into a fresh
// database file through the data module's scratch query, and counts read
// back from the file the same way.
#include "tdm.h"
#include "tdmschema.h"
#include "tfbdatabase.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tfbtestdb.h"
#include "tmessagerecorder.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace TClientTestData {

inline QString Quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

inline void Exec(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Execute();
}

inline int Count(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Open();
    const int n = q->Field(0)->AsInteger();
    q->Close();
    return n;
}

inline QString Text(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Open();
    const QString text = q->IsEmpty() ? QString() : q->Field(0)->AsString();
    q->Close();
    return text;
}

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

// Runs `act` on the modal dialog that the next call opens, once it shows.
// If `act` leaves it open, it is rejected so that the test never hangs.
// `tries` bounds the wait (10 ms each); a test that expects no dialog gives
// a few and then waits them out, so that no look-out outlives it.
inline void OnModal(std::function<void(QDialog *)> act, int tries = 500)
{
    QTimer::singleShot(10, qApp, [act = std::move(act), tries]() mutable {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (tries > 0)
                OnModal(std::move(act), tries - 1);
            return;
        }
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace TClientTestData
