#include "report/model/trepcustomband.h"

#include "report/model/ereperror.h"
#include "report/model/trepchildband.h"
#include "report/model/trepprintable.h"
#include "report/model/trepreport.h"

#include <cstdlib>

TRepCustomBand::TRepCustomBand(QObject *parent)
    : QObject(parent)
{
    FSize.CharFontSize = [this] { return FReport ? double(std::abs(FReport->Font().Size)) : 10.0; };
    FSize.OnChange = [this] { SizeChanged(); };
    // A new band is 40 design pixels high.
    FSize.SetNativeValue(TRepBandSize::HeightIndex,
                         40 * 254.0 / TRepUnitBase::DefaultResolution);
}

TRepCustomBand::~TRepCustomBand()
{
    FSize.OnChange = nullptr;
    const QList<TRepPrintable *> elements = FElements;
    FElements.clear();
    qDeleteAll(elements);
    if (FReport)
        FReport->FBandList.removeAll(this);
}

void TRepCustomBand::SetReport(TRepReport *report)
{
    FReport = report;
}

TRepFont TRepCustomBand::Font() const
{
    if (FParentFont && FReport)
        return FReport->Font();
    return FFont;
}

void TRepCustomBand::SetFont(const TRepFont &font)
{
    FFont = font;
    FParentFont = false;
}

void TRepCustomBand::SetLinkBand(TRepCustomBand *band)
{
    for (TRepCustomBand *b = band; b; b = b->LinkBand())
        if (b == this)
            throw ERepError(QStringLiteral("Circular linking not allowed"));
    FLinkBand = band;
}

TRepChildBand *TRepCustomBand::ChildBand() const
{
    if (!FReport)
        return nullptr;
    for (TRepCustomBand *b : FReport->BandList())
        if (auto *child = qobject_cast<TRepChildBand *>(b))
            if (child->ParentBand() == this)
                return child;
    return nullptr;
}

void TRepCustomBand::SetHasChild(bool on)
{
    TRepChildBand *child = ChildBand();
    if (on) {
        if (child)
            return;
        if (!FReport)
            throw ERepError(QStringLiteral("Band %1 has no report to hold a child band").arg(Name()));
        FReport->AddChildBand(this);
        return;
    }
    if (!child)
        return;
    if (TRepChildBand *grandChild = child->ChildBand())
        grandChild->SetParentBand(this);
    delete child;
    if (FReport)
        FReport->LayoutBands();
}

void TRepCustomBand::InsertElement(TRepPrintable *element, int index)
{
    if (!element)
        return;
    if (TRepCustomBand *old = element->ParentBand())
        old->RemoveElement(element);
    else if (TRepReport *report = qobject_cast<TRepReport *>(element->parent()))
        report->RemoveElement(element);
    element->setParent(this);
    if (index < 0 || index > FElements.size())
        index = FElements.size();
    FElements.insert(index, element);
    if (FReport)
        element->Size().SetUnits(FReport->Units());
    element->ApplyAlignToBand();
}

void TRepCustomBand::RemoveElement(TRepPrintable *element)
{
    if (FElements.removeAll(element) > 0 && element->parent() == this)
        element->setParent(nullptr);
}

TRepPrintable *TRepCustomBand::FindElement(const QString &name) const
{
    for (TRepPrintable *e : FElements)
        if (e->Name() == name)
            return e;
    return nullptr;
}

void TRepCustomBand::SizeChanged()
{
    for (TRepPrintable *e : FElements)
        e->ApplyAlignToBand();
    if (FReport)
        FReport->LayoutBands();
}
