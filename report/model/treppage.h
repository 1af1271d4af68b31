#pragma once

#include "report/model/trepunitbase.h"

#include <array>

// Page setup of a report. The seven lengths are kept in the order in which
// a layout stores them (Values); the named accessors read and write them in
// the page's current unit.
class TRepPage : public TRepUnitBase
{
public:
    enum ValueIndex {
        BottomMarginIndex = 0, LengthIndex, TopMarginIndex, WidthIndex,
        LeftMarginIndex, RightMarginIndex, ColumnSpaceIndex, ValueCount
    };
    using TValues = std::array<double, ValueCount>;

    TRepPage();

    // The stored values (tenths of a millimetre), persisted as Page.Values.
    const TValues &Values() const { return FValues; }
    void SetValues(const TValues &values);
    double NativeValue(ValueIndex i) const { return FValues[i]; }

    // In the page's unit.
    double BottomMargin() const;
    void SetBottomMargin(double v);
    double Length() const;
    void SetLength(double v);           // ignored unless PaperSize is Custom
    double TopMargin() const;
    void SetTopMargin(double v);
    double Width() const;
    void SetWidth(double v);            // ignored unless PaperSize is Custom
    double LeftMargin() const;
    void SetLeftMargin(double v);
    double RightMargin() const;
    void SetRightMargin(double v);
    double ColumnSpace() const;
    void SetColumnSpace(double v);

    int Columns() const { return FColumns; }
    void SetColumns(int columns);       // 0 or less is ignored
    TRepOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TRepOrientation o);   // re-applies the paper size
    TRepPaperSize PaperSize() const { return FPaperSize; }
    // A size from Letter to A3ExtraTrans sets Width and Length from the paper
    // table (exchanged for landscape); Default and Custom keep them.
    void SetPaperSize(TRepPaperSize size);
    bool Ruler() const { return FRuler; }
    void SetRuler(bool on) { FRuler = on; }

    // Paper width minus both horizontal margins, in tenths of a millimetre.
    double PrintableWidthNative() const;

    // Margin sanity before generation: both horizontal margins become 0 when
    // together they exceed the width, both vertical ones when they exceed
    // the length. Returns true when something was reset.
    bool CheckMargins();

private:
    double Get(ValueIndex i, TRepDirection d) const;
    void Set(ValueIndex i, TRepDirection d, double v);
    void ApplyPaperSize(TRepPaperSize size);

    TValues FValues{};
    int FColumns = 1;
    TRepOrientation FOrientation = poPortrait;
    TRepPaperSize FPaperSize = TRepPaperSize::A4;
    bool FRuler = true;
};
