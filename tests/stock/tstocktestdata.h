#pragma once
// Test data for the supplier screens: suppliers and products written
// straight into a fresh database file.
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "tests/support/tscreentestdata.h"

namespace TStockTestData {

using TScreenTestData::Count;
using TScreenTestData::Exec;
using TScreenTestData::HasPixel;
using TScreenTestData::OnModal;
using TScreenTestData::OnModalForm;
using TScreenTestData::Quoted;
using TScreenTestData::Text;

struct Supplier {
    int id;
    QString nomeFantasia;   // null when it is a null QString
    QString cidade = QString();
    QString end1 = QString();
    QString end2 = QString();
};

inline QString Literal(const QString &text)
{
    return text.isNull() ? QStringLiteral("null") : Quoted(text);
}

inline void AddSupplier(const Supplier &s)
{
    Exec(QStringLiteral("insert into fornecedores (idfornece, razaosocial, nomefantasia, cidade, end1, end2) "
                        "values (%1, %2, %3, %4, %5, %6)")
             .arg(s.id)
             .arg(Quoted(QStringLiteral("RAZAO %1").arg(s.id)), Literal(s.nomeFantasia),
                  Literal(s.cidade), Literal(s.end1), Literal(s.end2)));
    // Rows written with their own keys: the key generators go past them,
    // as they do when a database is opened.
    TDmSchema::BringUpToDate(*DM->Database);
}

inline void AddProduct(int idProd, int idFornece, const QString &descricao, const QString &nomeForne)
{
    Exec(QStringLiteral("insert into prodforne (idprod, idfornece, descricao, nomeforne, qtdedisp, qtdemin) "
                        "values (%1, %2, %3, %4, 0, 0)")
             .arg(idProd)
             .arg(idFornece)
             .arg(Quoted(descricao), Quoted(nomeForne)));
    TDmSchema::BringUpToDate(*DM->Database);
}

// A product with its quantities (a null QVariant: empty) and supplier.
struct Product {
    int id;
    QString descricao;
    QVariant qtdeDisp = 0;
    QVariant qtdeMin = 0;
    QVariant idFornece = QVariant();
    QString nomeForne = QString();
};

inline QString Literal(const QVariant &number)
{
    return number.isNull() ? QStringLiteral("null") : QString::number(number.toLongLong());
}

inline void AddProduct(const Product &p)
{
    Exec(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp, qtdemin, idfornece, nomeforne) "
                        "values (%1, %2, %3, %4, %5, %6)")
             .arg(p.id)
             .arg(Literal(p.descricao), Literal(p.qtdeDisp), Literal(p.qtdeMin), Literal(p.idFornece),
                  Literal(p.nomeForne)));
    TDmSchema::BringUpToDate(*DM->Database);
}

// The product dataset as the main window leaves it when it opens the list.
inline void ListAllProducts()
{
    TFbQuery *q = DM->ProdForneQuery;
    q->Close();
    q->SetSQL(QStringLiteral("select * from prodforne order by descricao"));
    q->Open();
}

// The quantity in stock of a product as the database holds it ("" when
// empty).
inline QString StoredQuantity(int idProd)
{
    return Text(QStringLiteral("select qtdedisp from prodforne where idprod=%1").arg(idProd));
}

// The supplier dataset as the main window leaves it when it opens the list.
inline void ListAllSuppliers()
{
    TFbQuery *q = DM->ForneQuery;
    q->Close();
    q->SetSQL(QStringLiteral("select * from fornecedores order by nomefantasia"));
    q->Open();
}

// A column of every row of a dataset, in its order.
inline QStringList Column(TFbQuery *q, const QString &fieldName)
{
    QStringList values;
    TFbField *f = q->FieldByName(fieldName);
    for (int row = 0; row < q->RecordCount(); ++row)
        values << f->AsStringAt(row);
    return values;
}

inline QStringList TradeNames()
{
    return Column(DM->ForneQuery, QStringLiteral("NOMEFANTASIA"));
}

} // namespace TStockTestData
