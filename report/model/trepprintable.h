#pragma once

#include "report/model/trepframe.h"
#include "report/model/trepprintablesize.h"
#include "report/model/treptypes.h"

#include <QColor>
#include <QObject>

class TRepCustomBand;
class TRepReport;
class TRepPrinter;

// Base of everything placed in a band (or directly on the report). Holds
// the element's data and its state during a pass (PrepareForPrint /
// UnprepareAfterPrint); how each kind of element is drawn is decided by the
// generation code (TRepElementPrinter), never by the model.
class TRepPrintable : public QObject
{
    Q_OBJECT

public:
    explicit TRepPrintable(QObject *parent = nullptr);
    ~TRepPrintable() override;

    QString Name() const { return objectName(); }
    // Class name as a stored layout writes it ("TRepLabel", ...).
    QString ClassName() const { return QString::fromLatin1(metaObject()->className()); }

    // The band holding the element (none when detached or placed on the report).
    TRepCustomBand *ParentBand() const;
    // The report of the band, or the report the element is placed on.
    TRepReport *Report() const;

    // Position and size relative to the band's top-left corner, in the
    // report's unit; Size().Values() holds them in tenths of a millimetre.
    TRepPrintableSize &Size() { return FSize; }
    const TRepPrintableSize &Size() const { return FSize; }
    double Left() const { return FSize.Left(); }
    double Top() const { return FSize.Top(); }
    double Width() const { return FSize.Width(); }
    double Height() const { return FSize.Height(); }
    double LeftNative() const { return FSize.NativeValue(TRepPrintableSize::LeftIndex); }
    double TopNative() const { return FSize.NativeValue(TRepPrintableSize::TopIndex); }
    double WidthNative() const { return FSize.NativeValue(TRepPrintableSize::WidthIndex); }
    double HeightNative() const { return FSize.NativeValue(TRepPrintableSize::HeightIndex); }

    // Plain persisted fields.
    TRepFrame Frame;
    bool Enabled = true;            // only enabled elements print
    QColor Color = QColor(255, 255, 255);
    bool Transparent = false;       // no background fill
    int Tag = 0;
    TRepBiDiMode BiDiMode = bdLeftToRight;

    // With AlignToBand the left position is held at 0 (left justify), band
    // width - width (right justify) or (band width - width) div 2 in design
    // pixels (center), re-applied when the alignment, the element's bounds
    // or the band's size change.
    TRepAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TRepAlignment a);
    bool AlignToBand() const { return FAlignToBand; }
    void SetAlignToBand(bool on);
    void ApplyAlignToBand();

    // Run-time state of a pass.
    bool IsPrinting() const { return FPrinting; }
    TRepPrinter *Printer() const { return FPrinter; }
    bool AllLinesPrinted = true;

    // Around a pass: PrepareForPrint sets the printing flag and takes the
    // page store; UnprepareAfterPrint clears them.
    virtual void PrepareForPrint(TRepPrinter *printer);
    virtual void UnprepareAfterPrint();

protected:
    // Sets the size of a new element in design pixels (at the default resolution).
    void SetDesignPixelSize(int width, int height);
    // Called after the stored size changed.
    virtual void BoundsChanged();

    bool FPrinting = false;
    TRepPrinter *FPrinter = nullptr;

private:
    TRepPrintableSize FSize;
    TRepAlignment FAlignment = taLeftJustify;
    bool FAlignToBand = false;
    bool FAligning = false;
};
