#pragma once

#include "report/model/trepbandsize.h"
#include "report/model/trepfont.h"
#include "report/model/trepframe.h"
#include "report/model/treptypes.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class TRepReport;
class TRepPrintable;
class TRepChildBand;

// A horizontal strip of the page holding elements. The report owns its bands
// (QObject children) and sets their width; the designer sets the height.
// Elements are QObject children of their band, kept in print order.
//
// Printing a band (background, elements, frame, stretching) is done by the
// generation pass, which reads the fields below and keeps ExtraHeight.
class TRepCustomBand : public QObject
{
    Q_OBJECT

public:
    explicit TRepCustomBand(QObject *parent = nullptr);
    ~TRepCustomBand() override;

    virtual TRepBandType BandType() const = 0;

    QString Name() const { return objectName(); }
    // The report whose band list holds this band (none while detached).
    TRepReport *Report() const { return FReport; }

    // Height and width; Size().Values() holds them in tenths of a millimetre.
    TRepBandSize &Size() { return FSize; }
    const TRepBandSize &Size() const { return FSize; }
    double Height() const { return FSize.Height(); }
    void SetHeight(double v) { FSize.SetHeight(v); }
    double Width() const { return FSize.Width(); }
    double HeightNative() const { return FSize.NativeValue(TRepBandSize::HeightIndex); }
    double WidthNative() const { return FSize.NativeValue(TRepBandSize::WidthIndex); }

    // Plain persisted fields.
    bool Enabled = true;            // a disabled band is not printed
    QColor Color = QColor(255, 255, 255);
    bool TransparentBand = false;   // no background fill
    TRepFrame Frame;
    bool ForceNewPage = false;
    bool ForceNewColumn = false;
    bool AlignToBottom = false;
    bool KeepOnOnePage = false;
    bool PreCaluculateBandHeight = false;   // spelled as the layouts store it

    // Default font of the band's elements: the report's font while
    // ParentFont is on. Setting a font turns ParentFont off.
    TRepFont Font() const;
    void SetFont(const TRepFont &font);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool on) { FParentFont = on; }

    // A band that must fit together with this one. A link that would close a
    // loop is refused with ERepError "Circular linking not allowed".
    TRepCustomBand *LinkBand() const { return FLinkBand; }
    void SetLinkBand(TRepCustomBand *band);

    // True when a child band names this band as its parent. Setting it true
    // creates such a child (the band must be in a report); false frees it and
    // hands a grandchild to this band.
    bool HasChild() const { return ChildBand() != nullptr; }
    void SetHasChild(bool on);
    TRepChildBand *ChildBand() const;

    // Elements in print order. InsertElement takes ownership (re-parenting);
    // RemoveElement gives it back to the caller (parent cleared).
    const QList<TRepPrintable *> &Elements() const { return FElements; }
    void InsertElement(TRepPrintable *element, int index = -1);
    void RemoveElement(TRepPrintable *element);
    TRepPrintable *FindElement(const QString &name) const;

    // Design-view position in tenths of a millimetre (not persisted): set by
    // TRepReport::LayoutBands.
    double DesignLeft = 0;
    double DesignTop = 0;

    // Growth while stretching during a pass, in tenths of a millimetre.
    double ExtraHeight = 0;

    // Events. BeforePrint gets PrintBand preset to Enabled and may change it;
    // AfterPrint tells whether the band was printed.
    std::function<void(TRepCustomBand *sender, bool &printBand)> BeforePrint;
    std::function<void(TRepCustomBand *sender, bool bandPrinted)> AfterPrint;

protected:
    friend class TRepReport;
    void SetReport(TRepReport *report);
    void SizeChanged();

private:
    TRepReport *FReport = nullptr;
    TRepBandSize FSize;
    TRepFont FFont;
    bool FParentFont = true;
    QPointer<TRepCustomBand> FLinkBand;
    QList<TRepPrintable *> FElements;
};
