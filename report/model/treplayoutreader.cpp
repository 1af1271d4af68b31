#include "report/model/treplayoutreader.h"

#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepchildband.h"
#include "report/model/trepdbcalc.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"
#include "report/model/trepsysdata.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// Reads one JSON object of the layout, remembers which properties were
// taken and complains, naming the place, about anything it cannot use.
class ObjectReader
{
public:
    ObjectReader(const QJsonObject &object, const QString &where)
        : FObject(object), FWhere(where)
    {
    }

    const QString &Where() const { return FWhere; }
    void SetWhere(const QString &where) { FWhere = where; }

    [[noreturn]] void Fail(const QString &message) const
    {
        throw ERepError(QStringLiteral("Report layout, %1: %2").arg(FWhere, message));
    }

    bool Has(const QString &key) const { return FObject.contains(key); }

    QJsonValue Take(const QString &key)
    {
        FUsed.insert(key);
        return FObject.value(key);
    }

    bool Bool(const QString &key, bool &out)
    {
        if (!Has(key))
            return false;
        const QJsonValue v = Take(key);
        if (!v.isBool())
            Fail(QStringLiteral("%1 must be true or false").arg(key));
        out = v.toBool();
        return true;
    }

    bool Int(const QString &key, int &out, int min = std::numeric_limits<int>::min(),
             int max = std::numeric_limits<int>::max())
    {
        if (!Has(key))
            return false;
        const QJsonValue v = Take(key);
        const double d = v.toDouble();
        if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < min || d > max)
            Fail(QStringLiteral("%1 must be a whole number from %2 to %3").arg(key).arg(min).arg(max));
        out = int(d);
        return true;
    }

    bool Number(const QString &key, double &out)
    {
        if (!Has(key))
            return false;
        const QJsonValue v = Take(key);
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            Fail(QStringLiteral("%1 must be a number").arg(key));
        out = v.toDouble();
        return true;
    }

    bool String(const QString &key, QString &out)
    {
        if (!Has(key))
            return false;
        const QJsonValue v = Take(key);
        if (!v.isString())
            Fail(QStringLiteral("%1 must be a text").arg(key));
        out = v.toString();
        return true;
    }

    bool StringList(const QString &key, QStringList &out)
    {
        if (!Has(key))
            return false;
        const QJsonValue v = Take(key);
        if (!v.isArray())
            Fail(QStringLiteral("%1 must be a list of texts").arg(key));
        QStringList list;
        for (const QJsonValue &item : v.toArray()) {
            if (!item.isString())
                Fail(QStringLiteral("%1 must be a list of texts").arg(key));
            list << item.toString();
        }
        out = list;
        return true;
    }

    template <typename E> bool Enum(const QString &key, E &out)
    {
        QString name;
        if (!String(key, name))
            return false;
        const std::optional<E> e = TRepEnumFromName<E>(name);
        if (!e)
            Fail(QStringLiteral("%1 \"%2\" is not one of %3")
                     .arg(key, name, TRepEnumNames<E>().join(QStringLiteral(", "))));
        out = *e;
        return true;
    }

    bool Color(const QString &key, QColor &out)
    {
        QString text;
        if (!String(key, text))
            return false;
        static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
        if (!hex.match(text).hasMatch())
            Fail(QStringLiteral("%1 \"%2\" must be a colour written #rrggbb").arg(key, text));
        out = QColor(text);
        return true;
    }

    // The numbers of an array property, exactly count of them.
    bool Numbers(const QString &key, int count, double *out)
    {
        if (!Has(key))
            return false;
        const QJsonValue v = Take(key);
        const QJsonArray a = v.toArray();
        if (!v.isArray() || a.size() != count)
            Fail(QStringLiteral("%1 must hold %2 numbers").arg(key).arg(count));
        for (int i = 0; i < count; ++i) {
            if (!a.at(i).isDouble() || !std::isfinite(a.at(i).toDouble()))
                Fail(QStringLiteral("%1 must hold %2 numbers").arg(key).arg(count));
            out[i] = a.at(i).toDouble();
            // Lengths are tenths of a millimetre: nothing printable is 100 m long.
            if (std::abs(out[i]) > 1e6)
                Fail(QStringLiteral("%1 holds a length beyond 100 m").arg(key));
        }
        return true;
    }

    std::optional<ObjectReader> Object(const QString &key)
    {
        if (!Has(key))
            return std::nullopt;
        const QJsonValue v = Take(key);
        if (!v.isObject())
            Fail(QStringLiteral("%1 must be an object").arg(key));
        return ObjectReader(v.toObject(), FWhere + QLatin1Char('.') + key);
    }

    QJsonArray Array(const QString &key)
    {
        if (!Has(key))
            return {};
        const QJsonValue v = Take(key);
        if (!v.isArray())
            Fail(QStringLiteral("%1 must be a list").arg(key));
        return v.toArray();
    }

    // Every property must have been understood.
    void Finish() const
    {
        for (auto it = FObject.begin(); it != FObject.end(); ++it)
            if (!FUsed.contains(it.key()))
                Fail(QStringLiteral("unknown property \"%1\"").arg(it.key()));
    }

private:
    QJsonObject FObject;
    QString FWhere;
    QSet<QString> FUsed;
};

void NotNegative(ObjectReader &r, const QString &what, const double *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (values[i] < 0)
            r.Fail(QStringLiteral("%1 must not hold negative lengths").arg(what));
}

void ReadFont(ObjectReader &r, TRepFont &font)
{
    r.String(QStringLiteral("Name"), font.Name);
    if (font.Name.trimmed().isEmpty())
        r.Fail(QStringLiteral("Name must not be empty"));
    r.Int(QStringLiteral("Size"), font.Size, -1638, 1638);
    if (font.Size == 0)
        r.Fail(QStringLiteral("Size must not be 0"));
    QStringList style;
    if (r.StringList(QStringLiteral("Style"), style)) {
        font.Bold = font.Italic = font.Underline = font.StrikeOut = false;
        for (const QString &s : style) {
            if (s == QLatin1String("fsBold"))
                font.Bold = true;
            else if (s == QLatin1String("fsItalic"))
                font.Italic = true;
            else if (s == QLatin1String("fsUnderline"))
                font.Underline = true;
            else if (s == QLatin1String("fsStrikeOut"))
                font.StrikeOut = true;
            else
                r.Fail(QStringLiteral("Style \"%1\" is not one of fsBold, fsItalic, fsUnderline, fsStrikeOut").arg(s));
        }
    }
    r.Color(QStringLiteral("Color"), font.Color);
    r.Finish();
}

void ReadFrame(ObjectReader &r, TRepFrame &frame)
{
    r.Color(QStringLiteral("Color"), frame.Color);
    r.Bool(QStringLiteral("DrawTop"), frame.DrawTop);
    r.Bool(QStringLiteral("DrawBottom"), frame.DrawBottom);
    r.Bool(QStringLiteral("DrawLeft"), frame.DrawLeft);
    r.Bool(QStringLiteral("DrawRight"), frame.DrawRight);
    r.Enum(QStringLiteral("Style"), frame.Style);
    r.Int(QStringLiteral("Width"), frame.Width, -1, 1000);
    r.Finish();
}

void ReadPen(ObjectReader &r, TRepPen &pen)
{
    r.Color(QStringLiteral("Color"), pen.Color);
    r.Enum(QStringLiteral("Style"), pen.Style);
    r.Int(QStringLiteral("Width"), pen.Width, 0, 1000);
    r.Finish();
}

void ReadBrush(ObjectReader &r, TRepBrush &brush)
{
    r.Color(QStringLiteral("Color"), brush.Color);
    r.Enum(QStringLiteral("Style"), brush.Style);
    r.Finish();
}

void ReadPrinterSettings(ObjectReader &r, TRepReportPrinterSettings &s)
{
    r.Int(QStringLiteral("Copies"), s.Copies, 1, 9999);
    r.Enum(QStringLiteral("OutputBin"), s.OutputBin);
    r.Bool(QStringLiteral("Duplex"), s.Duplex);
    r.Int(QStringLiteral("FirstPage"), s.FirstPage, 0);
    r.Int(QStringLiteral("LastPage"), s.LastPage, 0);
    r.Bool(QStringLiteral("UseStandardprinter"), s.UseStandardprinter);
    r.Bool(QStringLiteral("UseCustomBinCode"), s.UseCustomBinCode);
    r.Int(QStringLiteral("CustomBinCode"), s.CustomBinCode);
    r.Bool(QStringLiteral("UseCustomPaperCode"), s.UseCustomPaperCode);
    r.Int(QStringLiteral("CustomPaperCode"), s.CustomPaperCode);
    r.Int(QStringLiteral("ExtendedDuplex"), s.ExtendedDuplex);
    r.Bool(QStringLiteral("PrintMetaFile"), s.PrintMetaFile);
    r.Int(QStringLiteral("MemoryLimit"), s.MemoryLimit, 0);
    r.Int(QStringLiteral("PrintQuality"), s.PrintQuality);
    r.Int(QStringLiteral("Collate"), s.Collate);
    r.Int(QStringLiteral("ColorOption"), s.ColorOption);
    r.Finish();
}

void ReadSize(ObjectReader &owner, double *values, int count, const char *order)
{
    auto size = owner.Object(QStringLiteral("Size"));
    if (!size)
        owner.Fail(QStringLiteral("Size.Values (%1) is missing").arg(QLatin1String(order)));
    if (!size->Numbers(QStringLiteral("Values"), count, values))
        owner.Fail(QStringLiteral("Size.Values (%1) is missing").arg(QLatin1String(order)));
    size->Finish();
}

class Loader
{
public:
    std::unique_ptr<TRepReport> Run(const QJsonObject &root)
    {
        auto report = std::make_unique<TRepReport>();
        FReport = report.get();
        ObjectReader r(root, QStringLiteral("report"));

        int version = 0;
        if (!r.Int(QStringLiteral("LayoutVersion"), version, 1))
            r.Fail(QStringLiteral("LayoutVersion is missing: this is not a report layout"));
        if (version > TRepLayout::FormatVersion)
            r.Fail(QStringLiteral("LayoutVersion %1 is newer than this program reads (%2)")
                       .arg(version)
                       .arg(TRepLayout::FormatVersion));
        QString cls;
        r.String(QStringLiteral("Class"), cls);
        if (cls != QLatin1String("TRepReport"))
            r.Fail(QStringLiteral("Class must be TRepReport"));
        QString name;
        if (r.String(QStringLiteral("Name"), name) && !name.isEmpty()) {
            CheckName(r, name);
            FReport->setObjectName(name);
            r.SetWhere(name);
        }
        ReadReport(r);
        r.Finish();
        return report;
    }

private:
    void CheckName(ObjectReader &r, const QString &name)
    {
        static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        if (!ident.match(name).hasMatch())
            r.Fail(QStringLiteral("\"%1\" is not a valid name").arg(name));
        if (FNames.contains(name))
            r.Fail(QStringLiteral("the name %1 is used twice").arg(name));
        FNames.insert(name);
    }

    QString TakeName(ObjectReader &r, const QString &kind)
    {
        QString name;
        if (!r.String(QStringLiteral("Name"), name) || name.isEmpty())
            r.Fail(QStringLiteral("%1 without a Name").arg(kind));
        CheckName(r, name);
        return name;
    }

    void ReadReport(ObjectReader &r)
    {
        TRepReport &rep = *FReport;
        TRepUnit units = rep.Units();
        if (r.Enum(QStringLiteral("Units"), units))
            rep.SetUnits(units);
        int zoom = rep.Zoom();
        if (r.Int(QStringLiteral("Zoom"), zoom, 1, 300))
            rep.SetZoom(zoom);

        if (auto page = r.Object(QStringLiteral("Page")))
            ReadPage(*page);
        if (auto font = r.Object(QStringLiteral("Font"))) {
            TRepFont f = rep.Font();
            ReadFont(*font, f);
            rep.SetFont(f);
        }
        r.String(QStringLiteral("ReportTitle"), rep.ReportTitle);
        r.StringList(QStringLiteral("Description"), rep.Description);
        r.String(QStringLiteral("DataSet"), rep.DataSetName);
        QStringList options;
        if (r.StringList(QStringLiteral("Options"), options)) {
            TRepReportOptions o;
            for (const QString &s : options) {
                const int bit = TRepEnumNames<TRepReportOption>().indexOf(s);
                if (bit < 0)
                    r.Fail(QStringLiteral("Options \"%1\" is not one of %2")
                               .arg(s, TRepEnumNames<TRepReportOption>().join(QStringLiteral(", "))));
                o |= static_cast<TRepReportOption>(1 << bit);
            }
            rep.Options = o;
        }
        r.Bool(QStringLiteral("PrintIfEmpty"), rep.PrintIfEmpty);
        if (auto frame = r.Object(QStringLiteral("Frame")))
            ReadFrame(*frame, rep.Frame);
        if (auto functions = r.Object(QStringLiteral("Functions"))) {
            QStringList names, data;
            const bool hasNames = functions->StringList(QStringLiteral("Strings"), names);
            const bool hasData = functions->StringList(QStringLiteral("DATA"), data);
            if (hasNames != hasData)
                functions->Fail(QStringLiteral("Strings and DATA come together"));
            functions->Finish();
            try {
                rep.Functions().SetStrings(names, data);
            } catch (const ERepError &e) {
                functions->Fail(e.Message());
            }
        }
        if (auto ps = r.Object(QStringLiteral("PrinterSettings")))
            ReadPrinterSettings(*ps, rep.PrinterSettings);
        r.Bool(QStringLiteral("ShowProgress"), rep.ShowProgress);
        r.Bool(QStringLiteral("SnapToGrid"), rep.SnapToGrid);
        int v = 0;
        if (r.Int(QStringLiteral("PreviewWidth"), v))
            rep.SetPreviewWidth(v);
        if (r.Int(QStringLiteral("PreviewHeight"), v))
            rep.SetPreviewHeight(v);
        r.Enum(QStringLiteral("PreviewInitialState"), rep.PreviewInitialState);
        r.Enum(QStringLiteral("PrevFormStyle"), rep.PrevFormStyle);
        r.Bool(QStringLiteral("PrevShowThumbs"), rep.PrevShowThumbs);
        r.Bool(QStringLiteral("PrevShowSearch"), rep.PrevShowSearch);
        r.Enum(QStringLiteral("PrevInitialZoom"), rep.PrevInitialZoom);
        r.String(QStringLiteral("BackImageControl"), rep.BackImageControl);
        r.Int(QStringLiteral("Tag"), rep.Tag);

        const QJsonArray bands = r.Array(QStringLiteral("Bands"));
        for (int i = 0; i < bands.size(); ++i) {
            if (!bands.at(i).isObject())
                r.Fail(QStringLiteral("Bands[%1] must be an object").arg(i));
            ReadBand(bands.at(i).toObject(), r.Where() + QStringLiteral(".Bands[%1]").arg(i));
        }
        const QJsonArray elements = r.Array(QStringLiteral("Elements"));
        for (int i = 0; i < elements.size(); ++i) {
            if (!elements.at(i).isObject())
                r.Fail(QStringLiteral("Elements[%1] must be an object").arg(i));
            TRepPrintable *e = ReadElement(elements.at(i).toObject(), r.Where());
            rep.InsertElement(e);
        }
        ResolveBandLinks();

        // After loading: stored point sizes go to the fonts, and the engine
        // lays the bands out.
        for (TRepPrintable *e : rep.AllElements())
            if (auto *l = qobject_cast<TRepCustomLabel *>(e))
                l->ApplyFontSize();
        rep.LayoutBands();
        for (TRepPrintable *e : rep.AllElements())
            e->ApplyAlignToBand();
    }

    void ReadPage(ObjectReader &r)
    {
        TRepPage &page = FReport->Page();
        TRepOrientation orientation = page.Orientation();
        TRepPaperSize paper = page.PaperSize();
        r.Enum(QStringLiteral("Orientation"), orientation);
        r.Enum(QStringLiteral("PaperSize"), paper);
        page.SetOrientation(orientation);
        page.SetPaperSize(paper);
        TRepPage::TValues values = page.Values();
        if (r.Numbers(QStringLiteral("Values"), TRepPage::ValueCount, values.data())) {
            NotNegative(r, QStringLiteral("Values"), values.data(), TRepPage::ValueCount);
            page.SetValues(values);
        }
        int columns = 1;
        if (r.Int(QStringLiteral("Columns"), columns, 1, 1000))
            page.SetColumns(columns);
        bool ruler = page.Ruler();
        if (r.Bool(QStringLiteral("Ruler"), ruler))
            page.SetRuler(ruler);
        r.Finish();
    }

    void ReadBand(const QJsonObject &object, const QString &where)
    {
        ObjectReader r(object, where);
        QString cls;
        r.String(QStringLiteral("Class"), cls);
        const QString name = TakeName(r, QStringLiteral("band"));
        r.SetWhere(name);
        ObjectReader &br = r;

        TRepCustomBand *band = nullptr;
        if (cls == QLatin1String("TRepBand")) {
            TRepBandType type = rbDetail;
            if (!br.Enum(QStringLiteral("BandType"), type))
                br.Fail(QStringLiteral("BandType is missing"));
            if (type == rbChild)
                br.Fail(QStringLiteral("a child band is written with Class TRepChildBand"));
            band = FReport->AddBand(type, name);
        } else if (cls == QLatin1String("TRepChildBand")) {
            QString parentName;
            if (!br.String(QStringLiteral("ParentBand"), parentName) || parentName.isEmpty())
                br.Fail(QStringLiteral("ParentBand is missing"));
            TRepCustomBand *parent = FReport->FindBandByName(parentName);
            if (!parent)
                br.Fail(QStringLiteral("ParentBand %1 is not a band written before it").arg(parentName));
            // Placed where the layout lists it, not after the parent's chain.
            auto *child = FReport->AddChildBand(parent, name);
            band = child;
        } else {
            br.Fail(QStringLiteral("Class must be TRepBand or TRepChildBand"));
        }
        // Keep the written order of the band list.
        FBandOrder.append(band);

        TRepBandSize::TValues size{};
        ReadSize(br, size.data(), TRepBandSize::ValueCount, "Height, Width");
        NotNegative(br, QStringLiteral("Size.Values"), size.data(), TRepBandSize::ValueCount);
        band->Size().SetValues(size);

        br.Bool(QStringLiteral("Enabled"), band->Enabled);
        br.Color(QStringLiteral("Color"), band->Color);
        br.Bool(QStringLiteral("TransparentBand"), band->TransparentBand);
        if (auto frame = br.Object(QStringLiteral("Frame")))
            ReadFrame(*frame, band->Frame);
        if (auto font = br.Object(QStringLiteral("Font"))) {
            TRepFont f = band->Font();
            ReadFont(*font, f);
            band->SetFont(f);
        }
        bool parentFont = band->ParentFont();
        if (br.Bool(QStringLiteral("ParentFont"), parentFont))
            band->SetParentFont(parentFont);
        br.Bool(QStringLiteral("ForceNewPage"), band->ForceNewPage);
        br.Bool(QStringLiteral("ForceNewColumn"), band->ForceNewColumn);
        br.Bool(QStringLiteral("AlignToBottom"), band->AlignToBottom);
        br.Bool(QStringLiteral("KeepOnOnePage"), band->KeepOnOnePage);
        br.Bool(QStringLiteral("PreCaluculateBandHeight"), band->PreCaluculateBandHeight);
        if (auto *plain = qobject_cast<TRepBand *>(band)) {
            br.String(QStringLiteral("GroupField"), plain->GroupField);
            br.Bool(QStringLiteral("ReprintOnNewPage"), plain->ReprintOnNewPage);
            if (br.String(QStringLiteral("GroupFooter"), plain->GroupFooter) && !plain->GroupFooter.isEmpty())
                FGroupFooters.append({band, plain->GroupFooter, name});
        }
        QString link;
        if (br.String(QStringLiteral("LinkBand"), link) && !link.isEmpty())
            FLinks.append({band, link, name});

        const QJsonArray elements = br.Array(QStringLiteral("Elements"));
        for (int i = 0; i < elements.size(); ++i) {
            if (!elements.at(i).isObject())
                br.Fail(QStringLiteral("Elements[%1] must be an object").arg(i));
            band->InsertElement(ReadElement(elements.at(i).toObject(),
                                            name));
        }
        br.Finish();
    }

    void ResolveBandLinks()
    {
        // The band list keeps the order the layout wrote.
        for (int i = 0; i < FBandOrder.size(); ++i) {
            if (FReport->BandList().indexOf(FBandOrder.at(i)) != i)
                FReport->MoveBand(FBandOrder.at(i), i);
        }
        for (const Link &l : FGroupFooters) {
            TRepCustomBand *target = FReport->FindBandByName(l.target);
            if (!target || target->BandType() != rbGroupFooter)
                throw ERepError(QStringLiteral("Report layout, %1: GroupFooter %2 is not a group footer band of the report")
                                    .arg(l.where, l.target));
        }
        for (const Link &l : FLinks) {
            TRepCustomBand *target = FReport->FindBandByName(l.target);
            if (!target)
                throw ERepError(QStringLiteral("Report layout, %1: LinkBand %2 is not a band of the report")
                                    .arg(l.where, l.target));
            try {
                l.band->SetLinkBand(target);
            } catch (const ERepError &e) {
                throw ERepError(QStringLiteral("Report layout, %1: %2").arg(l.where, e.Message()));
            }
        }
    }

    TRepPrintable *ReadElement(const QJsonObject &object, const QString &where)
    {
        ObjectReader r(object, where);
        QString cls;
        r.String(QStringLiteral("Class"), cls);
        const QString name = TakeName(r, QStringLiteral("element"));
        r.SetWhere(where + QLatin1Char('.') + name);
        ObjectReader &er = r;

        std::unique_ptr<TRepPrintable> element;
        if (cls == QLatin1String("TRepLabel"))
            element = std::make_unique<TRepLabel>();
        else if (cls == QLatin1String("TRepDBText"))
            element = std::make_unique<TRepDBText>();
        else if (cls == QLatin1String("TRepDBCalc"))
            element = std::make_unique<TRepDBCalc>();
        else if (cls == QLatin1String("TRepSysData"))
            element = std::make_unique<TRepSysData>();
        else if (cls == QLatin1String("TRepHRule"))
            element = std::make_unique<TRepHRule>();
        else if (cls == QLatin1String("TRepShape"))
            element = std::make_unique<TRepShape>();
        else
            er.Fail(QStringLiteral("Class \"%1\" is not one of TRepLabel, TRepDBText, TRepDBCalc, TRepSysData, TRepHRule, TRepShape").arg(cls));
        element->setObjectName(name);

        TRepPrintableSize::TValues size{};
        ReadSize(er, size.data(), TRepPrintableSize::ValueCount,
                 "Height, Left, Top, Width");
        if (size[TRepPrintableSize::HeightIndex] < 0 || size[TRepPrintableSize::WidthIndex] < 0)
            er.Fail(QStringLiteral("Size.Values must not hold a negative height or width"));
        element->Size().SetValues(size);

        if (auto frame = er.Object(QStringLiteral("Frame")))
            ReadFrame(*frame, element->Frame);
        er.Bool(QStringLiteral("Enabled"), element->Enabled);
        TRepAlignment alignment = element->Alignment();
        if (er.Enum(QStringLiteral("Alignment"), alignment))
            element->SetAlignment(alignment);
        bool alignToBand = false;
        if (er.Bool(QStringLiteral("AlignToBand"), alignToBand))
            element->SetAlignToBand(alignToBand);
        er.Color(QStringLiteral("Color"), element->Color);
        er.Bool(QStringLiteral("Transparent"), element->Transparent);
        er.Int(QStringLiteral("Tag"), element->Tag);
        er.Enum(QStringLiteral("BiDiMode"), element->BiDiMode);

        if (auto *label = qobject_cast<TRepCustomLabel *>(element.get())) {
            if (auto *dbText = qobject_cast<TRepDBText *>(label)) {
                er.String(QStringLiteral("DataSet"), dbText->DataSetName);
                QString field;
                if (er.String(QStringLiteral("DataField"), field))
                    dbText->SetDataField(field);
                er.String(QStringLiteral("Mask"), dbText->Mask);
            }
            if (auto *calc = qobject_cast<TRepDBCalc *>(label)) {
                QString kind;
                if (er.String(QStringLiteral("Calc"), kind)) {
                    const auto k = TRepDBCalc::KindFromName(kind);
                    if (!k)
                        er.Fail(QStringLiteral("Calc must be Sum or Count"));
                    calc->Calc = *k;
                }
                er.String(QStringLiteral("ResetGroup"), calc->ResetGroup);
            }
            QString caption;
            if (er.String(QStringLiteral("Caption"), caption))
                label->SetCaption(caption);
            er.Bool(QStringLiteral("AutoSize"), label->AutoSize);
            er.Bool(QStringLiteral("AutoStretch"), label->AutoStretch);
            er.Bool(QStringLiteral("WordWrap"), label->WordWrap);
            if (auto font = er.Object(QStringLiteral("Font"))) {
                TRepFont f = label->Font();
                ReadFont(*font, f);
                label->SetFont(f);
            }
            bool parentFont = label->ParentFont();
            if (er.Bool(QStringLiteral("ParentFont"), parentFont))
                label->SetParentFont(parentFont);
            er.Int(QStringLiteral("FontSize"), label->FontSize, -1638, 1638);
            if (auto *sys = qobject_cast<TRepSysData *>(label)) {
                QString text;
                if (er.String(QStringLiteral("Text"), text))
                    sys->SetText(text);
            }
        } else if (auto *rule = qobject_cast<TRepHRule *>(element.get())) {
            if (auto pen = er.Object(QStringLiteral("Pen")))
                ReadPen(*pen, rule->Pen);
            if (auto brush = er.Object(QStringLiteral("Brush")))
                ReadBrush(*brush, rule->Brush);
            er.Int(QStringLiteral("VertAdjust"), rule->VertAdjust);
        } else if (auto *shape = qobject_cast<TRepShape *>(element.get())) {
            er.Enum(QStringLiteral("Shape"), shape->Shape);
            if (auto pen = er.Object(QStringLiteral("Pen")))
                ReadPen(*pen, shape->Pen);
            if (auto brush = er.Object(QStringLiteral("Brush")))
                ReadBrush(*brush, shape->Brush);
            double round = shape->RoundFactor;
            if (er.Number(QStringLiteral("RoundFactor"), round)) {
                if (round < 0 || round > 1000)
                    er.Fail(QStringLiteral("RoundFactor must be from 0 to 1000"));
                shape->RoundFactor = float(round);
            }
            er.Int(QStringLiteral("VertAdjust"), shape->VertAdjust);
        }
        er.Finish();
        return element.release();
    }

    struct Link
    {
        TRepCustomBand *band;
        QString target;
        QString where;
    };

    TRepReport *FReport = nullptr;
    QSet<QString> FNames;
    QList<TRepCustomBand *> FBandOrder;
    QList<Link> FLinks;
    QList<Link> FGroupFooters;
};

} // namespace

TRepReport *TRepLayoutReader::Read(const QByteArray &json, QObject *parent)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw ERepError(QStringLiteral("Report layout is not valid JSON at character %1: %2")
                            .arg(error.offset)
                            .arg(error.errorString()));
    if (!doc.isObject())
        throw ERepError(QStringLiteral("Report layout must be a JSON object"));
    Loader loader;
    std::unique_ptr<TRepReport> report = loader.Run(doc.object());
    report->setParent(parent);
    return report.release();
}

TRepReport *TRepLayoutReader::ReadFile(const QString &fileName, QObject *parent)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ERepError(QStringLiteral("Cannot open the report layout %1: %2").arg(fileName, file.errorString()));
    // A layout is a few kilobytes; anything huge is not one.
    constexpr qint64 maxSize = 16 * 1024 * 1024;
    if (file.size() > maxSize)
        throw ERepError(QStringLiteral("Report layout %1 is too large").arg(fileName));
    const QByteArray data = file.read(maxSize + 1);
    if (data.size() > maxSize)
        throw ERepError(QStringLiteral("Report layout %1 is too large").arg(fileName));
    try {
        return Read(data, parent);
    } catch (const ERepError &e) {
        throw ERepError(QStringLiteral("%1 (%2)").arg(e.Message(), fileName));
    }
}
