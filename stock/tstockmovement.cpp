#include "stock/tstockmovement.h"

#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"

namespace {
// Two quantities are the same when both are empty or both hold one number.
bool SameQuantity(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toLongLong() == b.toLongLong();
}
} // namespace

QString TStockMovement::KindText(Kind kind)
{
    return kind == Kind::Entry ? QStringLiteral("entrada") : QStringLiteral("saida");
}

std::optional<qint64> TStockMovement::LockedQuantity(TDM &dm, qint32 idProd, bool *isNull)
{
    TFbQuery q;
    q.SetDatabase(dm.Database);
    q.SetTransaction(dm.Transaction);
    q.SetSQL(QStringLiteral("select qtdedisp from prodforne where idprod=%1 with lock").arg(idProd));
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    const TFbField *f = q.Field(0);
    if (isNull)
        *isNull = f->IsNull();
    return f->IsNull() ? 0 : f->AsLargeInt();
}

TStockMovement::Result TStockMovement::Record(TDM &dm, Kind kind)
{
    TFbQuery *product = dm.ProdForneQuery;
    TFbQuery *movement = dm.ProdEntQuery;
    TFbField *quantity = product->FieldByName(QStringLiteral("QTDEDISP"));
    const qint32 idProd = product->FieldByName(QStringLiteral("IDPROD"))->AsInteger();
    const TFbField *moved = movement->FieldByName(QStringLiteral("QTDEENT"));
    const qint64 amount = moved->IsNull() ? 0 : moved->AsLargeInt();

    Result result;
    dm.RunUnitOfWork([&] {
        // The whole row as stored now, locked: the product is written back
        // with only its quantity changed, so a description or minimum that
        // another computer saved since the list was loaded stays, and the
        // movement copies the description and supplier it has now.
        TFbQuery locked;
        locked.SetDatabase(dm.Database);
        locked.SetTransaction(dm.Transaction);
        locked.SetSQL(QStringLiteral("select * from prodforne where idprod=%1 with lock").arg(idProd));
        locked.Open();
        if (locked.IsEmpty()) {
            result.outcome = Outcome::ProductGone;
            return;
        }
        for (TFbField *f : product->Fields()) {
            if (const TFbField *now = locked.FindField(f->FieldName()); now && f != quantity
                && f->Value() != now->Value())
                f->SetValue(now->Value());
        }
        const TFbField *storedField = locked.FieldByName(QStringLiteral("QTDEDISP"));
        const qint64 stored = storedField->IsNull() ? 0 : storedField->AsLargeInt();
        locked.Close();
        result.stored = stored;
        const qint64 after = kind == Kind::Entry ? stored + amount : stored - amount;
        if (kind == Kind::Exit && amount > stored)
            result.outcome = Outcome::NotEnoughStock;
        else if (after > MaxQuantity)
            result.outcome = Outcome::TooMuchStock;
        if (result.outcome != Outcome::Recorded) {
            // The form shows what is really in stock.
            quantity->SetAsLargeInt(stored);
            return;
        }
        // The new quantity is written here, in so many words. The product's
        // own save writes only the columns that differ from the row read
        // with the list, and an entry that brings the stock back to what
        // the list showed (53 read, 52 stored after another computer's
        // exit, 53 now) would differ from nothing and be skipped.
        TFbQuery write;
        write.SetDatabase(dm.Database);
        write.SetTransaction(dm.Transaction);
        write.SetSQL(QStringLiteral("update prodforne set qtdedisp=%1 where idprod=%2").arg(after).arg(idProd));
        write.Execute();
        quantity->SetAsLargeInt(after);
        movement->FieldByName(QStringLiteral("IDPROD"))->SetAsInteger(idProd);
        movement->FieldByName(QStringLiteral("NOMEFORNE"))
            ->SetAsString(product->FieldByName(QStringLiteral("NOMEFORNE"))->AsString());
        movement->FieldByName(QStringLiteral("DESCRICAO"))
            ->SetAsString(product->FieldByName(QStringLiteral("DESCRICAO"))->AsString());
        movement->FieldByName(QStringLiteral("TIPO"))->SetAsString(KindText(kind));
        product->ApplyChanges();
        movement->ApplyChanges();
        result.stored = after;
    });
    return result;
}

QString TStockMovement::ApplyProductEdit(TDM &dm)
{
    TFbQuery *q = dm.ProdForneQuery;
    TFbField *quantity = q->FieldByName(QStringLiteral("QTDEDISP"));
    const QVariant read = quantity->OldValue();
    const QVariant typed = quantity->Value();
    const qint32 id = q->FieldByName(QStringLiteral("IDPROD"))->AsInteger();
    QString refusal;
    dm.RunUnitOfWork([&] {
        bool storedNull = false;
        const std::optional<qint64> stored = LockedQuantity(dm, id, &storedNull);
        if (!stored) {
            refusal = QStringLiteral("Este produto não existe mais no banco de dados "
                                     "(foi excluído em outro computador)!");
            return;
        }
        const QVariant now = storedNull ? QVariant() : QVariant(*stored);
        if (!SameQuantity(now, read)) {
            if (!SameQuantity(typed, read)) {
                refusal = QStringLiteral("A quantidade disponível deste produto foi alterada em outro "
                                         "computador depois de aberta (agora: %1). Nada foi gravado: "
                                         "cancele e abra o produto de novo.")
                              .arg(storedNull ? QStringLiteral("vazia") : QString::number(*stored));
                return;
            }
            // The user left the quantity alone: the movements recorded
            // elsewhere stay.
            if (storedNull)
                quantity->Clear();
            else
                quantity->SetAsLargeInt(*stored);
        }
        q->ApplyChanges();
    });
    return refusal;
}
