#pragma once
// What the tests of every screen use on a fresh database file: statements
// run straight through the data module's scratch query, values read back
// the same way, and a look-out that acts on the modal dialog a call opens.
#include "tdm.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tfbtestdb.h"
#include "tmessagerecorder.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace TScreenTestData {

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

} // namespace TScreenTestData
