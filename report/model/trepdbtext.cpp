#include "report/model/trepdbtext.h"

TRepDBText::TRepDBText(QObject *parent)
    : TRepCustomLabel(parent)
{
}

void TRepDBText::SetDataField(const QString &field)
{
    FDataField = field;
    SetCaption(field);
}

void TRepDBText::UnprepareAfterPrint()
{
    TRepCustomLabel::UnprepareAfterPrint();
    SetCaption(FDataField.isEmpty() ? Name() : FDataField);
}
