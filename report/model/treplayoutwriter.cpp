#include "report/model/treplayoutwriter.h"

#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepchildband.h"
#include "report/model/trepdbcalc.h"
#include "report/model/trepdbtext.h"
#include "report/model/trepfilecommit.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"
#include "report/model/trepsysdata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QString ColorText(const QColor &c)
{
    return c.name(QColor::HexRgb);
}

QJsonArray Numbers(const double *values, int count)
{
    QJsonArray a;
    for (int i = 0; i < count; ++i)
        a.append(values[i]);
    return a;
}

QJsonObject FontJson(const TRepFont &f)
{
    QJsonArray style;
    if (f.Bold)
        style.append(QStringLiteral("fsBold"));
    if (f.Italic)
        style.append(QStringLiteral("fsItalic"));
    if (f.Underline)
        style.append(QStringLiteral("fsUnderline"));
    if (f.StrikeOut)
        style.append(QStringLiteral("fsStrikeOut"));
    return QJsonObject{{"Name", f.Name}, {"Size", f.Size}, {"Style", style}, {"Color", ColorText(f.Color)}};
}

QJsonObject FrameJson(const TRepFrame &f)
{
    return QJsonObject{{"Color", ColorText(f.Color)}, {"DrawTop", f.DrawTop},
                       {"DrawBottom", f.DrawBottom},  {"DrawLeft", f.DrawLeft},
                       {"DrawRight", f.DrawRight},    {"Style", TRepEnumName(f.Style)},
                       {"Width", f.Width}};
}

QJsonObject PenJson(const TRepPen &p)
{
    return QJsonObject{{"Color", ColorText(p.Color)}, {"Style", TRepEnumName(p.Style)}, {"Width", p.Width}};
}

QJsonObject BrushJson(const TRepBrush &b)
{
    return QJsonObject{{"Color", ColorText(b.Color)}, {"Style", TRepEnumName(b.Style)}};
}

QJsonObject PrinterSettingsJson(const TRepReportPrinterSettings &s)
{
    return QJsonObject{{"Copies", s.Copies},
                       {"OutputBin", TRepEnumName(s.OutputBin)},
                       {"Duplex", s.Duplex},
                       {"FirstPage", s.FirstPage},
                       {"LastPage", s.LastPage},
                       {"UseStandardprinter", s.UseStandardprinter},
                       {"UseCustomBinCode", s.UseCustomBinCode},
                       {"CustomBinCode", s.CustomBinCode},
                       {"UseCustomPaperCode", s.UseCustomPaperCode},
                       {"CustomPaperCode", s.CustomPaperCode},
                       {"ExtendedDuplex", s.ExtendedDuplex},
                       {"PrintMetaFile", s.PrintMetaFile},
                       {"MemoryLimit", s.MemoryLimit},
                       {"PrintQuality", s.PrintQuality},
                       {"Collate", s.Collate},
                       {"ColorOption", s.ColorOption}};
}

QJsonObject ElementJson(const TRepPrintable &e)
{
    QJsonObject o{{"Class", e.ClassName()},
                  {"Name", e.Name()},
                  {"Size", QJsonObject{{"Values", Numbers(e.Size().Values().data(), TRepPrintableSize::ValueCount)}}},
                  {"Frame", FrameJson(e.Frame)},
                  {"Enabled", e.Enabled},
                  {"Alignment", TRepEnumName(e.Alignment())},
                  {"AlignToBand", e.AlignToBand()},
                  {"Color", ColorText(e.Color)},
                  {"Transparent", e.Transparent},
                  {"Tag", e.Tag},
                  {"BiDiMode", TRepEnumName(e.BiDiMode)}};
    if (auto *label = qobject_cast<const TRepCustomLabel *>(&e)) {
        if (auto *dbText = qobject_cast<const TRepDBText *>(label)) {
            o.insert("DataSet", dbText->DataSetName);
            o.insert("DataField", dbText->DataField());
            o.insert("Mask", dbText->Mask);
        }
        if (auto *calc = qobject_cast<const TRepDBCalc *>(label)) {
            o.insert("Calc", TRepDBCalc::KindName(calc->Calc));
            o.insert("ResetGroup", calc->ResetGroup);
        }
        if (auto *sys = qobject_cast<const TRepSysData *>(label))
            o.insert("Text", sys->Text());
        o.insert("Caption", label->Caption());
        o.insert("AutoSize", label->AutoSize);
        o.insert("AutoStretch", label->AutoStretch);
        o.insert("WordWrap", label->WordWrap);
        o.insert("ParentFont", label->ParentFont());
        if (!label->ParentFont())
            o.insert("Font", FontJson(label->Font()));
        o.insert("FontSize", label->Font().Size);
    } else if (auto *rule = qobject_cast<const TRepHRule *>(&e)) {
        o.insert("Pen", PenJson(rule->Pen));
        o.insert("Brush", BrushJson(rule->Brush));
        o.insert("VertAdjust", rule->VertAdjust);
    } else if (auto *shape = qobject_cast<const TRepShape *>(&e)) {
        o.insert("Shape", TRepEnumName(shape->Shape));
        o.insert("Pen", PenJson(shape->Pen));
        o.insert("Brush", BrushJson(shape->Brush));
        o.insert("RoundFactor", double(shape->RoundFactor));
        o.insert("VertAdjust", shape->VertAdjust);
    }
    return o;
}

QJsonObject BandJson(const TRepCustomBand &b)
{
    QJsonObject o{{"Class", QString::fromLatin1(b.metaObject()->className())},
                  {"Name", b.Name()},
                  {"Size", QJsonObject{{"Values", Numbers(b.Size().Values().data(), TRepBandSize::ValueCount)}}},
                  {"Enabled", b.Enabled},
                  {"Color", ColorText(b.Color)},
                  {"TransparentBand", b.TransparentBand},
                  {"Frame", FrameJson(b.Frame)},
                  {"ParentFont", b.ParentFont()},
                  {"ForceNewPage", b.ForceNewPage},
                  {"ForceNewColumn", b.ForceNewColumn},
                  {"AlignToBottom", b.AlignToBottom},
                  {"KeepOnOnePage", b.KeepOnOnePage},
                  {"PreCaluculateBandHeight", b.PreCaluculateBandHeight}};
    if (auto *plain = qobject_cast<const TRepBand *>(&b)) {
        if (!plain->GroupField.isEmpty())
            o.insert("GroupField", plain->GroupField);
        if (!plain->GroupFooter.isEmpty())
            o.insert("GroupFooter", plain->GroupFooter);
        if (plain->ReprintOnNewPage)
            o.insert("ReprintOnNewPage", true);
    }
    if (auto *child = qobject_cast<const TRepChildBand *>(&b)) {
        if (child->ParentBand())
            o.insert("ParentBand", child->ParentBand()->Name());
    } else {
        o.insert("BandType", TRepEnumName(b.BandType()));
    }
    if (!b.ParentFont())
        o.insert("Font", FontJson(b.Font()));
    if (b.LinkBand())
        o.insert("LinkBand", b.LinkBand()->Name());
    QJsonArray elements;
    for (const TRepPrintable *e : b.Elements())
        elements.append(ElementJson(*e));
    o.insert("Elements", elements);
    return o;
}

QJsonArray StringArray(const QStringList &l)
{
    return QJsonArray::fromStringList(l);
}

} // namespace

QByteArray TRepLayoutWriter::Write(const TRepReport &report)
{
    const TRepPage &page = report.Page();
    QJsonArray options;
    for (int bit = 0; bit < TRepEnumNames<TRepReportOption>().size(); ++bit)
        if (report.Options.testFlag(static_cast<TRepReportOption>(1 << bit)))
            options.append(TRepEnumNames<TRepReportOption>().at(bit));
    QJsonArray bands;
    for (const TRepCustomBand *b : report.BandList())
        bands.append(BandJson(*b));
    QJsonArray elements;
    for (const TRepPrintable *e : report.Elements())
        elements.append(ElementJson(*e));

    QJsonObject o{
        {"LayoutVersion", TRepLayout::FormatVersion},
        {"Class", QStringLiteral("TRepReport")},
        {"Name", report.Name()},
        {"Units", TRepEnumName(report.Units())},
        {"Zoom", report.Zoom()},
        {"Page", QJsonObject{{"Values", Numbers(page.Values().data(), TRepPage::ValueCount)},
                             {"PaperSize", TRepEnumName(page.PaperSize())},
                             {"Orientation", TRepEnumName(page.Orientation())},
                             {"Columns", page.Columns()},
                             {"Ruler", page.Ruler()}}},
        {"Font", FontJson(report.Font())},
        {"ReportTitle", report.ReportTitle},
        {"Description", StringArray(report.Description)},
        {"DataSet", report.DataSetName},
        {"Options", options},
        {"PrintIfEmpty", report.PrintIfEmpty},
        {"Frame", FrameJson(report.Frame)},
        {"Functions", QJsonObject{{"Strings", StringArray(report.Functions().Strings())},
                                  {"DATA", StringArray(report.Functions().Data())}}},
        {"PrinterSettings", PrinterSettingsJson(report.PrinterSettings)},
        {"ShowProgress", report.ShowProgress},
        {"SnapToGrid", report.SnapToGrid},
        {"PreviewWidth", report.PreviewWidth()},
        {"PreviewHeight", report.PreviewHeight()},
        {"PreviewInitialState", TRepEnumName(report.PreviewInitialState)},
        {"PrevFormStyle", TRepEnumName(report.PrevFormStyle)},
        {"PrevShowThumbs", report.PrevShowThumbs},
        {"PrevShowSearch", report.PrevShowSearch},
        {"PrevInitialZoom", TRepEnumName(report.PrevInitialZoom)},
        {"BackImageControl", report.BackImageControl},
        {"Tag", report.Tag},
        {"Bands", bands},
        {"Elements", elements}};
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

void TRepLayoutWriter::WriteFile(const TRepReport &report, const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw ERepError(QStringLiteral("Cannot write the report layout %1: %2").arg(fileName, file.errorString()));
    file.write(Write(report));
    const QString failure = TRepFileCommit::Commit(file);
    if (!failure.isEmpty())
        throw ERepError(QStringLiteral("Cannot write the report layout %1: %2").arg(fileName, failure));
}
