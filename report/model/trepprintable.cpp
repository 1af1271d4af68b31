#include "report/model/trepprintable.h"

#include "report/model/trepcustomband.h"
#include "report/model/trepreport.h"

#include <cmath>
#include <cstdlib>

TRepPrintable::TRepPrintable(QObject *parent)
    : QObject(parent)
{
    FSize.CharFontSize = [this] {
        TRepReport *r = Report();
        return r ? double(std::abs(r->Font().Size)) : 10.0;
    };
    FSize.PixelFactor = [this] {
        TRepCustomBand *b = ParentBand();
        return b ? b->Size().Zoom() / 100.0 : 1.0;
    };
    FSize.OnChange = [this] { BoundsChanged(); };
    SetDesignPixelSize(10, 10);
}

TRepPrintable::~TRepPrintable()
{
    FSize.OnChange = nullptr;
    if (TRepCustomBand *b = ParentBand())
        b->RemoveElement(this);
    else if (auto *r = qobject_cast<TRepReport *>(parent()))
        r->RemoveElement(this);
}

TRepCustomBand *TRepPrintable::ParentBand() const
{
    return qobject_cast<TRepCustomBand *>(parent());
}

TRepReport *TRepPrintable::Report() const
{
    if (TRepCustomBand *b = ParentBand())
        return b->Report();
    return qobject_cast<TRepReport *>(parent());
}

void TRepPrintable::SetDesignPixelSize(int width, int height)
{
    const double px = 254.0 / TRepUnitBase::DefaultResolution;
    TRepPrintableSize::TValues v = FSize.Values();
    v[TRepPrintableSize::WidthIndex] = width * px;
    v[TRepPrintableSize::HeightIndex] = height * px;
    FSize.SetValues(v);
}

void TRepPrintable::SetAlignment(TRepAlignment a)
{
    FAlignment = a;
    ApplyAlignToBand();
}

void TRepPrintable::SetAlignToBand(bool on)
{
    FAlignToBand = on;
    ApplyAlignToBand();
}

void TRepPrintable::ApplyAlignToBand()
{
    if (!FAlignToBand || FAligning)
        return;
    TRepCustomBand *band = ParentBand();
    if (!band)
        return;
    FAligning = true;
    const double bandWidth = band->WidthNative();
    const double width = WidthNative();
    double left = 0;
    switch (FAlignment) {
    case taLeftJustify:
        left = 0;
        break;
    case taRightJustify:
        left = bandWidth - width;
        break;
    case taCenter: {
        // Whole design pixels, as the design view places it.
        const TRepBandSize &bs = band->Size();
        const double bandPx = std::round(bs.ToPixels(bandWidth));
        const double widthPx = std::round(bs.ToPixels(width));
        left = bs.FromPixels(std::trunc((bandPx - widthPx) / 2));
        break;
    }
    }
    if (left != LeftNative())
        FSize.SetNativeValue(TRepPrintableSize::LeftIndex, left);
    FAligning = false;
}

void TRepPrintable::PrepareForPrint(TRepPrinter *printer)
{
    FPrinting = true;
    FPrinter = printer;
    AllLinesPrinted = true;
}

void TRepPrintable::UnprepareAfterPrint()
{
    FPrinting = false;
    FPrinter = nullptr;
}

void TRepPrintable::BoundsChanged()
{
    ApplyAlignToBand();
}
