#pragma once
// The supplier list: the suppliers in a grid over the shared supplier
// dataset, searched by trade name, city or address, and the start of
// creating, editing and deleting a supplier. Creating and editing happen in
// the supplier record form, which shows the products of the supplier: the
// list loads them into the shared product dataset before the form opens.
#include "widgets/tsearchlistscreen.h"

class TForneForm : public TSearchListScreen
{
    Q_OBJECT
public:
    explicit TForneForm(QWidget *owner = nullptr);

protected:
    std::unique_ptr<QDialog> CreateRecordForm() override;
    void LoadRecordForm(QDialog *form, bool isNew) override;
};
