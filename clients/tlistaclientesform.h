#pragma once
// The client list: the shop's register of clients, in a grid over the shared
// client dataset whose text colour tells each client's annotation type. It
// searches by name, city or address and starts creating, editing and
// deleting clients; creating and editing happen in the client record form,
// and a client's service orders are deleted with it.
//
// It owns no data: a search re-runs the client dataset's query, which every
// other screen then sees.
#include "widgets/tsearchlistscreen.h"

#include <QColor>
#include <optional>

class TListaClientesForm : public TSearchListScreen
{
    Q_OBJECT
public:
    explicit TListaClientesForm(QWidget *owner = nullptr);

    // The text colour of a client row, by its annotation type.
    static std::optional<QColor> RowColor(const TFbQuery *query, int row);

    void BitBtn6Click(); // "Legenda Cores"

    TBitBtn *BitBtn6;    // "Legenda Cores"

protected:
    std::unique_ptr<QDialog> CreateRecordForm() override;
    void PrepareRecordForm(QDialog *form, bool isNew) override;
    void DeleteRelated(qint32 key) override;
};
