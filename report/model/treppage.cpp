#include "report/model/treppage.h"

#include "report/model/treppapertable.h"

#include <QLocale>

TRepPage::TRepPage()
{
    const bool us = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    FPaperSize = us ? TRepPaperSize::Letter : TRepPaperSize::A4;
    double w = 0, l = 0;
    TRepPaperTable::Dimensions(FPaperSize, w, l);
    const double margin = us ? 127.0 : 100.0;   // half an inch, or 10 mm
    FValues = {margin, l, margin, w, margin, margin, 0.0};
    SetUnits(us ? TRepUnit::Inches : TRepUnit::MM);
}

void TRepPage::SetValues(const TValues &values)
{
    FValues = values;
    Changed();
}

double TRepPage::Get(ValueIndex i, TRepDirection d) const
{
    return ToUnit(FValues[i], d);
}

void TRepPage::Set(ValueIndex i, TRepDirection d, double v)
{
    FValues[i] = FromUnit(v, d);
    Changed();
}

double TRepPage::BottomMargin() const { return Get(BottomMarginIndex, TRepDirection::Vertical); }
void TRepPage::SetBottomMargin(double v) { Set(BottomMarginIndex, TRepDirection::Vertical, v); }
double TRepPage::Length() const { return Get(LengthIndex, TRepDirection::Vertical); }
double TRepPage::TopMargin() const { return Get(TopMarginIndex, TRepDirection::Vertical); }
void TRepPage::SetTopMargin(double v) { Set(TopMarginIndex, TRepDirection::Vertical, v); }
double TRepPage::Width() const { return Get(WidthIndex, TRepDirection::Horizontal); }
double TRepPage::LeftMargin() const { return Get(LeftMarginIndex, TRepDirection::Horizontal); }
void TRepPage::SetLeftMargin(double v) { Set(LeftMarginIndex, TRepDirection::Horizontal, v); }
double TRepPage::RightMargin() const { return Get(RightMarginIndex, TRepDirection::Horizontal); }
void TRepPage::SetRightMargin(double v) { Set(RightMarginIndex, TRepDirection::Horizontal, v); }
double TRepPage::ColumnSpace() const { return Get(ColumnSpaceIndex, TRepDirection::Horizontal); }
void TRepPage::SetColumnSpace(double v) { Set(ColumnSpaceIndex, TRepDirection::Horizontal, v); }

void TRepPage::SetLength(double v)
{
    if (FPaperSize == TRepPaperSize::Custom)
        Set(LengthIndex, TRepDirection::Vertical, v);
}

void TRepPage::SetWidth(double v)
{
    if (FPaperSize == TRepPaperSize::Custom)
        Set(WidthIndex, TRepDirection::Horizontal, v);
}

void TRepPage::SetColumns(int columns)
{
    if (columns <= 0)
        return;
    FColumns = columns;
    Changed();
}

void TRepPage::SetOrientation(TRepOrientation o)
{
    FOrientation = o;
    ApplyPaperSize(FPaperSize);
}

void TRepPage::SetPaperSize(TRepPaperSize size)
{
    ApplyPaperSize(size);
}

void TRepPage::ApplyPaperSize(TRepPaperSize size)
{
    double w = 0, l = 0;
    if (TRepPaperTable::Dimensions(size, w, l)) {
        if (FOrientation == poLandscape)
            std::swap(w, l);
        FValues[WidthIndex] = w;
        FValues[LengthIndex] = l;
    }
    FPaperSize = size;
    Changed();
}

double TRepPage::PrintableWidthNative() const
{
    return FValues[WidthIndex] - FValues[LeftMarginIndex] - FValues[RightMarginIndex];
}

bool TRepPage::CheckMargins()
{
    bool reset = false;
    if (FValues[WidthIndex] - FValues[LeftMarginIndex] - FValues[RightMarginIndex] < 0) {
        FValues[LeftMarginIndex] = 0;
        FValues[RightMarginIndex] = 0;
        reset = true;
    }
    if (FValues[LengthIndex] - FValues[TopMarginIndex] - FValues[BottomMarginIndex] < 0) {
        FValues[TopMarginIndex] = 0;
        FValues[BottomMarginIndex] = 0;
        reset = true;
    }
    if (reset)
        Changed();
    return reset;
}
