#include "report/model/trepreport.h"

#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepchildband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trepprintable.h"

#include <QGuiApplication>
#include <QFontDatabase>
#include <QLocale>

#include <cmath>
#include <cstdlib>

TRepReport::TRepReport(QObject *parent)
    : QObject(parent), FBands(this)
{
    FUnits = FPage.Units();
    FPage.CharFontSize = [this] { return double(std::abs(FFont.Size)); };
    FPage.OnChange = [this] { LayoutBands(); };
    // A Japanese system keeps its own default face instead of Arial.
    if (QLocale::system().language() == QLocale::Japanese && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        FFont.Name = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

TRepReport::~TRepReport()
{
    FPage.OnChange = nullptr;
    const QList<TRepCustomBand *> bands = FBandList;
    for (TRepCustomBand *b : bands)
        b->SetReport(nullptr);
    FBandList.clear();
    qDeleteAll(bands);
    const QList<TRepPrintable *> elements = FElements;
    FElements.clear();
    qDeleteAll(elements);
}

void TRepReport::SetUnits(TRepUnit units)
{
    FUnits = units;
    ApplyUnitsAndZoom();
}

void TRepReport::SetZoom(int zoom)
{
    if (zoom < 1 || zoom > 300)
        return;
    FZoom = zoom;
    ApplyUnitsAndZoom();
    LayoutBands();
}

void TRepReport::ApplyUnitsAndZoom()
{
    FPage.SetUnits(FUnits);
    for (TRepCustomBand *b : FBandList) {
        b->Size().SetUnits(FUnits);
        b->Size().SetZoom(FZoom);
        for (TRepPrintable *e : b->Elements())
            e->Size().SetUnits(FUnits);
    }
    for (TRepPrintable *e : FElements)
        e->Size().SetUnits(FUnits);
}

QString TRepReport::FreeName(const QString &prefix) const
{
    for (int n = 1;; ++n) {
        const QString name = prefix + QString::number(n);
        if (IsNameFree(name))
            return name;
    }
}

bool TRepReport::IsNameFree(const QString &name) const
{
    if (name == objectName())
        return false;
    return !FindBandByName(name) && !FindElement(name);
}

void TRepReport::AttachBand(TRepCustomBand *band, int index)
{
    band->setParent(this);
    band->SetReport(this);
    band->Size().SetUnits(FUnits);
    band->Size().SetZoom(FZoom);
    if (index < 0 || index > FBandList.size())
        index = FBandList.size();
    FBandList.insert(index, band);
    LayoutBands();
}

TRepBand *TRepReport::AddBand(TRepBandType type, const QString &name, int index)
{
    const QString n = name.isEmpty() ? FreeName(QStringLiteral("RepBand")) : name;
    if (!IsNameFree(n))
        throw ERepError(QStringLiteral("A component named %1 already exists").arg(n));
    auto *band = new TRepBand(type, nullptr);
    band->setObjectName(n);
    AttachBand(band, index);
    return band;
}

TRepChildBand *TRepReport::AddChildBand(TRepCustomBand *parent, const QString &name)
{
    if (!parent || parent->Report() != this)
        throw ERepError(QStringLiteral("A child band needs a parent band of the same report"));
    const QString n = name.isEmpty() ? FreeName(QStringLiteral("RepChildBand")) : name;
    if (!IsNameFree(n))
        throw ERepError(QStringLiteral("A component named %1 already exists").arg(n));
    // After the parent and the chain of children that follows it.
    int index = FBandList.indexOf(parent) + 1;
    while (index < FBandList.size()) {
        auto *c = qobject_cast<TRepChildBand *>(FBandList.at(index));
        bool descends = false;
        for (TRepCustomBand *p = c ? c->ParentBand() : nullptr; p;) {
            if (p == parent) {
                descends = true;
                break;
            }
            auto *pc = qobject_cast<TRepChildBand *>(p);
            p = pc ? pc->ParentBand() : nullptr;
        }
        if (!descends)
            break;
        ++index;
    }
    auto *child = new TRepChildBand(nullptr);
    child->setObjectName(n);
    child->SetParentBand(parent);
    AttachBand(child, index);
    return child;
}

void TRepReport::MoveBand(TRepCustomBand *band, int index)
{
    const int from = FBandList.indexOf(band);
    if (from < 0)
        return;
    FBandList.removeAt(from);
    FBandList.insert(qBound(0, index, int(FBandList.size())), band);
    LayoutBands();
}

void TRepReport::RemoveBand(TRepCustomBand *band)
{
    if (!band || !FBandList.contains(band))
        return;
    // Its child bands go with it.
    while (TRepChildBand *child = band->ChildBand())
        RemoveBand(child);
    FBandList.removeAll(band);
    band->SetReport(nullptr);
    delete band;
    LayoutBands();
}

TRepCustomBand *TRepReport::FindBand(TRepBandType type) const
{
    for (TRepCustomBand *b : FBandList)
        if (b->BandType() == type)
            return b;
    return nullptr;
}

void TRepReport::InsertElement(TRepPrintable *element, int index)
{
    if (!element)
        return;
    if (TRepCustomBand *old = element->ParentBand())
        old->RemoveElement(element);
    else if (auto *r = qobject_cast<TRepReport *>(element->parent()); r && r != this)
        r->RemoveElement(element);
    FElements.removeAll(element);
    element->setParent(this);
    if (index < 0 || index > FElements.size())
        index = FElements.size();
    FElements.insert(index, element);
    element->Size().SetUnits(FUnits);
}

void TRepReport::RemoveElement(TRepPrintable *element)
{
    if (FElements.removeAll(element) > 0 && element->parent() == this)
        element->setParent(nullptr);
}

QList<TRepPrintable *> TRepReport::AllElements() const
{
    QList<TRepPrintable *> all;
    for (TRepCustomBand *b : FBandList)
        all += b->Elements();
    all += FElements;
    return all;
}

TRepCustomBand *TRepReport::FindBandByName(const QString &name) const
{
    for (TRepCustomBand *b : FBandList)
        if (b->Name() == name)
            return b;
    return nullptr;
}

TRepPrintable *TRepReport::FindElement(const QString &name) const
{
    for (TRepPrintable *e : AllElements())
        if (e->Name() == name)
            return e;
    return nullptr;
}

int TRepReport::BindDataSet(const QString &name, TRepDataSet *dataSet)
{
    int bound = 0;
    if (!name.isEmpty() && DataSetName == name) {
        DataSet = dataSet;
        ++bound;
    }
    for (TRepPrintable *e : AllElements())
        if (auto *t = qobject_cast<TRepDBText *>(e); t && !name.isEmpty() && t->DataSetName == name) {
            t->DataSet = dataSet;
            ++bound;
        }
    return bound;
}

double TRepReport::ToDesignPixels(double native) const
{
    return native * FPage.Resolution() * FZoom / (254.0 * 100.0);
}

double TRepReport::FromDesignPixels(double pixels) const
{
    return pixels * 254.0 * 100.0 / (double(FPage.Resolution()) * FZoom);
}

double TRepReport::PrintableWidthNative() const
{
    const double px = std::floor(ToDesignPixels(FPage.PrintableWidthNative()) + 1e-7);
    return px > 0 ? FromDesignPixels(px) : 0.0;
}

double TRepReport::ColumnWidthNative() const
{
    // Whole pixels of the design view, then integer division by the columns;
    // margins or spacing wider than the paper give no width rather than a
    // negative one.
    const double printPx = std::max(0.0, std::floor(ToDesignPixels(FPage.PrintableWidthNative()) + 1e-7));
    const double spacePx = std::max(0.0, std::floor(ToDesignPixels(FPage.NativeValue(TRepPage::ColumnSpaceIndex)) + 1e-7));
    const int columns = std::max(1, FPage.Columns());
    const double colPx = std::floor((printPx - spacePx * (columns - 1)) / columns);
    return colPx > 0 ? FromDesignPixels(colPx) : 0.0;
}

double TRepReport::BandWidthNative(const TRepCustomBand *band) const
{
    const TRepCustomBand *root = band;
    if (auto *child = qobject_cast<const TRepChildBand *>(band))
        if (TRepCustomBand *r = child->RootBand())
            root = r;
    switch (root->BandType()) {
    case rbTitle:
    case rbPageHeader:
    case rbPageFooter:
    case rbSummary:
    case rbOverlay:
        return PrintableWidthNative();
    default:
        return ColumnWidthNative();
    }
}

void TRepReport::LayoutBands()
{
    if (FLayingOut)
        return;
    FLayingOut = true;
    double top = FPage.NativeValue(TRepPage::TopMarginIndex);
    const double left = FPage.NativeValue(TRepPage::LeftMarginIndex);
    for (TRepCustomBand *b : FBandList) {
        b->DesignLeft = left;
        b->DesignTop = top;
        const double w = BandWidthNative(b);
        if (b->WidthNative() != w)
            b->Size().SetNativeValue(TRepBandSize::WidthIndex, w);
        top += b->HeightNative();
    }
    FLayingOut = false;
}

bool TRepReport::CheckMargins()
{
    const bool reset = FPage.CheckMargins();
    LayoutBands();
    return reset;
}
