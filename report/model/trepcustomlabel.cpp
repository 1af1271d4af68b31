#include "report/model/trepcustomlabel.h"

#include "report/model/trepcustomband.h"
#include "report/model/trepreport.h"

TRepCustomLabel::TRepCustomLabel(QObject *parent)
    : TRepPrintable(parent)
{
}

void TRepCustomLabel::SetCaption(const QString &caption)
{
    FCaption = caption;
}

TRepFont TRepCustomLabel::Font() const
{
    if (FParentFont) {
        if (TRepCustomBand *b = ParentBand())
            return b->Font();
        if (TRepReport *r = Report())
            return r->Font();
    }
    return FFont;
}

void TRepCustomLabel::SetFont(const TRepFont &font)
{
    FFont = font;
    FParentFont = false;
}

void TRepCustomLabel::ApplyFontSize()
{
    // A font that already has the size (such as the band's) stays as it is.
    if (FontSize <= 0 || Font().Size == FontSize)
        return;
    TRepFont f = Font();
    f.Size = FontSize;
    SetFont(f);
}

void TRepCustomLabel::PrepareForPrint(TRepPrinter *printer)
{
    TRepPrintable::PrepareForPrint(printer);
    PrintCaption = FCaption;
    NextLine = 0;
}
