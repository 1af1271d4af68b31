#include "report/model/trepsysdata.h"

TRepSysData::TRepSysData(QObject *parent)
    : TRepCustomLabel(parent)
{
}

void TRepSysData::SetText(const QString &text)
{
    FText = text;
    SetCaption(text);
}

bool TRepSysData::NeedsPageCount() const
{
    return FText.contains(QLatin1String("{PAGES}"));
}

QString TRepSysData::Resolve(int page, int pages) const
{
    QString out = FText;
    out.replace(QLatin1String("{PAGES}"), QString::number(pages));
    out.replace(QLatin1String("{PAGE}"), QString::number(page));
    return out;
}

void TRepSysData::UnprepareAfterPrint()
{
    TRepCustomLabel::UnprepareAfterPrint();
    SetCaption(FText);
}
