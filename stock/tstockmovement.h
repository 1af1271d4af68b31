#pragma once
// Recording one stock entry or exit of a product: the product's quantity in
// stock and the movement record, written together or not at all.
//
// The quantity the change starts from is the one in the database at the
// moment of writing, read with a row lock inside the unit of work, never the
// one loaded with the list: with several computers on one database another
// one may have recorded a movement since, and starting from the old figure
// would lose it (or let an exit take the stock below zero). The locked row
// also makes a second computer wait until this one has written. The rest of
// the product is taken from that row too, so that writing the new quantity
// never puts back what another computer changed in the product meanwhile.
//
// Expects what the stock movement form works on: the product as the current
// record of the data module's product dataset in editing, the movement as a
// new record of the movement dataset with its quantity written.
#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <optional>

class TDM;

class TStockMovement
{
public:
    enum class Kind { Entry, Exit };

    enum class Outcome {
        Recorded,        // both written; the product shows the stored quantity
        NotEnoughStock,  // an exit larger than the quantity stored: nothing written
        TooMuchStock,    // an entry past the largest quantity a product holds
        ProductGone,     // the product is no longer in the database
    };

    struct Result {
        Outcome outcome = Outcome::Recorded;
        // The quantity stored when the movement was checked (null reads 0),
        // and after it when recorded.
        qint64 stored = 0;
    };

    // The largest quantity in stock a product holds (QTDEDISP is a 32-bit
    // integer column).
    static constexpr qint64 MaxQuantity = 2147483647;

    // Checks and records the movement on `dm`'s datasets as one unit of
    // work. On a refusal nothing is written and both records stay pending;
    // the product's quantity then shows what is stored. Database failures
    // propagate (nothing is left written).
    static Result Record(TDM &dm, Kind kind);

    // The product's quantity in stock as the database holds it now, the row
    // locked until the running unit of work ends; no value when the product
    // is gone. Null reads 0; `isNull`, when given, tells whether it was null.
    static std::optional<qint64> LockedQuantity(TDM &dm, qint32 idProd, bool *isNull = nullptr);

    // Saves the edit of the product being changed on `dm`'s product dataset
    // (not a new one), its quantity checked under the row's lock: a quantity
    // the user left alone takes what the movements made elsewhere left
    // stored; one the user changed is refused when it changed elsewhere
    // too. Returns the refusal for the user (nothing written, the entry
    // kept), or an empty text when saved. Database failures propagate.
    static QString ApplyProductEdit(TDM &dm);

    // The text stored in PRODENT.TIPO.
    static QString KindText(Kind kind);
};
