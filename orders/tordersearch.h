#pragma once
// Finding a service order from what the counter has in hand: the number on
// the paper slip ("000123" or "123") or a piece of the equipment description,
// the requester or the repair notes. Logic only, on the data module's
// datasets, so that the "Localizar OS" box and its tests share it.
#include <QString>
#include <optional>

class TDM;
class TFbQuery;

class TOrderSearch
{
public:
    // Most rows a text search lists: newest first, the rest left out (a
    // longer text narrows it).
    static constexpr int MaxListed = 500;
    // The longest of the columns searched (the repair notes).
    static constexpr int LongestText = 300;

    // The order number typed: digits only (blanks around are ignored),
    // leading zeros allowed, greater than zero and within the key's range.
    // Anything else is a text search.
    static std::optional<qint32> ParseNumber(const QString &typed);

    // The statement listing the orders whose description, requester or
    // repair notes contain the typed text, literally (no wildcard, no quote
    // can change it), newest first, at most MaxListed rows. Columns: IDORDEM,
    // NORDEM, NOME (the client), DESCRICAO, DATACAD, SITUACAO, IDCLIENTE.
    // Empty when the text is blank.
    static QString TextSql(const QString &typed);

    // The client of the order with that key, read through `aux`; nothing
    // when there is no such order.
    static std::optional<qint32> ClientOf(TFbQuery *aux, qint32 idOrdem);

    // Makes the order current as the order screen shows it: its client
    // current in the client dataset and that client's orders in the order
    // dataset with the order current. While another screen holds an entry
    // on either dataset it throws EFbError with that screen's message and
    // changes nothing; an order that does not exist (any more) throws
    // EFbError with NotFoundMessage.
    static void MakeCurrent(TDM *dm, qint32 idOrdem);

    // Throws the message of an entry held on the client or order dataset.
    static void CheckNothingHeld(TDM *dm);

    static QString NotFoundMessage(const QString &typed);
};
