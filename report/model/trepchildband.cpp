#include "report/model/trepchildband.h"

#include "report/model/ereperror.h"
#include "report/model/trepreport.h"

TRepChildBand::TRepChildBand(QObject *parent)
    : TRepCustomBand(parent)
{
}

void TRepChildBand::SetParentBand(TRepCustomBand *band)
{
    for (TRepCustomBand *b = band; b;) {
        if (b == this)
            throw ERepError(QStringLiteral("Band %1 cannot be its own parent").arg(Name()));
        auto *child = qobject_cast<TRepChildBand *>(b);
        b = child ? child->ParentBand() : nullptr;
    }
    FParentBand = band;
    if (Report())
        Report()->LayoutBands();
}

TRepCustomBand *TRepChildBand::RootBand() const
{
    TRepCustomBand *b = FParentBand;
    while (auto *child = qobject_cast<TRepChildBand *>(b))
        b = child->ParentBand();
    return b;
}
