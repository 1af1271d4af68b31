#include "report/generate/trepelementprinter.h"

#include "report/generate/trepexportfilter.h"
#include "report/generate/trepgenerator.h"
#include "report/generate/treplinebreaker.h"
#include "report/generate/treppictureformat.h"
#include "report/model/trepcustomband.h"
#include "report/model/trepdataset.h"
#include "report/model/trepdbcalc.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"
#include "report/model/trepsysdata.h"
#include "report/print/trepprinter.h"

#include <QFontMetricsF>

#include <cmath>
#include <vector>

namespace {

constexpr double DesignDpi = 96.0;

// A shape or rule handed to an export filter: its box in device pixels and
// its pen and brush.
TRepExportGraphic ExportGraphic(TRepExportGraphic::Kind kind, const TRepPrinter &store, double l, double t,
                                double w, double h, const TRepPen &pen, const TRepBrush &brush)
{
    TRepExportGraphic g;
    g.kind = kind;
    g.X = store.ToDeviceX(l);
    g.Y = store.ToDeviceY(t);
    g.Width = store.ToDeviceWidth(w);
    g.Height = store.ToDeviceHeight(h);
    g.PenWidth = pen.Width;
    g.PenColor = pen.Color;
    g.PenStyle = pen.Style;
    g.BrushColor = brush.Color;
    g.BrushStyle = brush.Style;
    return g;
}

int ReportZoom(const TRepPrintable &e)
{
    const TRepReport *r = e.Report();
    return r ? r->Zoom() : 100;
}

// Design pixels of a native length at the report's zoom.
double DesignPixels(double native, int zoom)
{
    return native * DesignDpi / 254.0 * zoom / 100.0;
}

double NativeFromDesign(double pixels, int zoom)
{
    return pixels / (DesignDpi / 254.0) / (zoom / 100.0);
}

// Frame width in native units (points to tenths of a millimetre).
int FrameShift(const TRepFrame &f)
{
    return f.Width > 0 ? int(std::lround(f.Width * 254.0 / 72.0)) : 0;
}

// Whether a text element prints a number: a total, or a data text on a
// numeric field.
bool PrintsNumber(const TRepCustomLabel &label)
{
    if (qobject_cast<const TRepDBCalc *>(&label))
        return true;
    const auto *db = qobject_cast<const TRepDBText *>(&label);
    if (!db || !db->DataSet || db->DataField().isEmpty())
        return false;
    try {
        const int field = db->DataSet->FieldIndex(db->DataField());
        if (field < 0)
            return false;
        switch (db->DataSet->FieldKind(field)) {
        case TRepFieldKind::Integer:
        case TRepFieldKind::Float:
        case TRepFieldKind::Currency:
        case TRepFieldKind::Bcd:
            return true;
        default:
            return false;
        }
    } catch (...) {
        return false;
    }
}

TRepAlignment EffectiveAlignment(const TRepPrintable &e)
{
    return e.Alignment();
}


void FillDevice(TRepPrinter &store, const QColor &color, int l, int t, int r, int b)
{
    TRepCanvas *cv = store.Canvas();
    if (!cv)
        return;
    TRepBrush brush;
    brush.Color = color;
    brush.Style = bsSolid;
    cv->SetBrush(brush);
    cv->FillRect(l, t, r, b);
}

TRepExportGraphic BackgroundGraphic(int x, int y, int w, int h, const QColor &color)
{
    TRepExportGraphic g;
    g.kind = TRepExportGraphic::Rectangle;
    g.X = x;
    g.Y = y;
    g.Width = w;
    g.Height = h;
    g.PenStyle = psClear;
    g.BrushColor = color;
    g.BrushStyle = bsSolid;
    return g;
}

} // namespace

namespace {

// Metrics of the last fonts measured: a pass measures the same few fonts
// over and over (single thread, like the whole engine).
const QFontMetricsF &Metrics(const TRepFont &font)
{
    struct Entry
    {
        TRepFont font;
        QFontMetricsF metrics;
    };
    static std::vector<Entry> cache;
    for (const Entry &e : cache)
        if (e.font == font)
            return e.metrics;
    if (cache.size() >= 16)
        cache.erase(cache.begin());
    cache.push_back({font, QFontMetricsF(TRepCanvas::QtFont(TRepCanvasFont(font), DesignDpi))});
    return cache.back().metrics;
}

} // namespace

void TRepElementPrinter::Print(TRepPrintable &element, double offsetX, double offsetY)
{
    if (auto *label = qobject_cast<TRepCustomLabel *>(&element))
        PrintText(*label, offsetX, offsetY);
    else if (auto *shape = qobject_cast<TRepShape *>(&element))
        PrintShape(*shape, offsetX, offsetY);
    else if (auto *rule = qobject_cast<TRepHRule *>(&element))
        PrintRule(*rule, offsetX, offsetY);
}

double TRepElementPrinter::DesignTextWidth(const TRepFont &font, const QString &text, int zoom)
{
    return (std::ceil(Metrics(font).horizontalAdvance(text)) + 1.0) * zoom / 100.0;
}

TRepFont TRepElementPrinter::FittedFont(const TRepFont &font, const QString &text, double width, int zoom)
{
    if (text.isEmpty() || DesignTextWidth(font, text, zoom) <= width)
        return font;
    TRepFont smaller = font;
    for (int size = std::abs(font.Size) - 1; size >= 1; --size) {
        smaller.Size = size;
        if (DesignTextWidth(smaller, text, zoom) <= width)
            break;
    }
    return smaller;
}

double TRepElementPrinter::DesignTextHeight(const TRepFont &font, int zoom)
{
    return std::ceil(Metrics(font).height()) * zoom / 100.0;
}

void TRepElementPrinter::PrepareDBText(TRepDBText &)
{
    // The field is looked up by name at every print (FieldText), so that a
    // dataset opened or re-queried between prints is followed; nothing is
    // kept from here.
}

QString TRepElementPrinter::CalcText(const TRepDBCalc &calc)
{
    if (calc.Calc == TRepDBCalc::Count)
        return calc.Mask.isEmpty() ? QString::number(calc.Records())
                                   : TRepPictureFormat::FormatFloat(calc.Mask, double(calc.Records()));
    const std::optional<qint64> units = calc.SumUnits();
    if (!units)
        return QStringLiteral("#####");
    if (calc.Mask.isEmpty()) {
        // Exact digits: whole part, and the decimals that are not zero.
        const qint64 v = *units;
        const quint64 a = v < 0 ? quint64(0) - quint64(v) : quint64(v);
        QString text = QString::number(a / 10000);
        QString decimals = QStringLiteral("%1").arg(a % 10000, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        if (!decimals.isEmpty())
            text += QLatin1Char('.') + decimals;
        return v < 0 ? QLatin1Char('-') + text : text;
    }
    // Ten-thousandths fit a double exactly far beyond any amount printed,
    // and the mask rounds the nearest double as the exact value would.
    return TRepPictureFormat::FormatFloat(calc.Mask, double(*units) / 10000.0);
}

QString TRepElementPrinter::FieldText(TRepDBText &text, bool *isMemo)
{
    if (isMemo)
        *isMemo = false;
    if (auto *calc = qobject_cast<TRepDBCalc *>(&text))
        return CalcText(*calc);
    TRepDataSet *ds = text.DataSet;
    if (!ds || text.DataField().isEmpty())
        return QString();
    try {
        const int field = ds->FieldIndex(text.DataField());
        if (field < 0)
            return QString();
        const TRepFieldKind kind = ds->FieldKind(field);
        if (kind == TRepFieldKind::Memo || kind == TRepFieldKind::Blob) {
            if (isMemo)
                *isMemo = true;
            return ds->FieldDisplayText(field);
        }
        if (text.Mask.isEmpty() || kind == TRepFieldKind::String)
            return ds->FieldDisplayText(field);
        const QVariant v = ds->FieldValue(field);
        switch (kind) {
        case TRepFieldKind::Integer:
        case TRepFieldKind::Float:
        case TRepFieldKind::Currency:
        case TRepFieldKind::Bcd: {
            // An empty value counts as zero, so that a total prints its
            // formatted zero.
            bool ok = true;
            const double d = v.isValid() && !v.isNull() ? v.toDouble(&ok) : 0.0;
            if (!ok)
                return QString();
            return TRepPictureFormat::FormatFloat(text.Mask, d);
        }
        case TRepFieldKind::Date:
        case TRepFieldKind::Time:
        case TRepFieldKind::DateTime: {
            if (!v.isValid() || v.isNull())
                return QString();
            QDateTime dt;
            if (kind == TRepFieldKind::Time)
                dt = QDateTime(QDate(1899, 12, 30), v.toTime());
            else if (v.typeId() == QMetaType::QDate)
                dt = QDateTime(v.toDate(), QTime(0, 0));
            else
                dt = v.toDateTime();
            return TRepPictureFormat::FormatDateTime(text.Mask, dt);
        }
        default:
            // Keeps the text of the previous print.
            return text.PrintCaption;
        }
    } catch (...) {
        return QString();
    }
}

void TRepElementPrinter::FormatLines(TRepCustomLabel &label)
{
    const int zoom = ReportZoom(label);
    const TRepFont font = label.Font();
    const double widthPx = DesignPixels(label.WidthNative(), zoom);
    auto measure = [&](const QString &s) { return DesignTextWidth(font, s, zoom); };
    TRepLineBreaker breaker(measure, widthPx, label.AutoSize, label.WordWrap);

    bool memo = false;
    if (auto *db = qobject_cast<TRepDBText *>(&label)) {
        if (db->DataSet && !db->DataField().isEmpty()) {
            try {
                const int f = db->DataSet->FieldIndex(db->DataField());
                memo = f >= 0
                    && (db->DataSet->FieldKind(f) == TRepFieldKind::Memo
                        || db->DataSet->FieldKind(f) == TRepFieldKind::Blob);
            } catch (...) {
                memo = false;
            }
        }
    }
    label.FormattedLines = memo ? breaker.FormatMemo(label.PrintCaption) : breaker.FormatText(label.PrintCaption);

    if (label.AutoSize && label.Report()) {
        double widest = 0;
        for (const QString &l : std::as_const(label.FormattedLines))
            widest = std::max(widest, measure(l));
        if (label.Frame.DrawLeft)
            widest += label.Frame.Width;
        if (label.Frame.DrawRight)
            widest += label.Frame.Width;
        const double newWidth = NativeFromDesign(widest, zoom);
        const double oldWidth = label.WidthNative();
        const double oldLeft = label.LeftNative();
        TRepPrintableSize &size = label.Size();
        if (std::abs(newWidth - oldWidth) > 1e-9) {
            size.SetNativeValue(TRepPrintableSize::WidthIndex, newWidth);
            if (label.Alignment() == taRightJustify)
                size.SetNativeValue(TRepPrintableSize::LeftIndex, oldLeft - (newWidth - oldWidth));
            else if (label.Alignment() == taCenter)
                size.SetNativeValue(TRepPrintableSize::LeftIndex, oldLeft - (newWidth - oldWidth) / 2.0);
        }
        const double minHeight = NativeFromDesign(DesignTextHeight(font, zoom) + 1.0, zoom);
        if (label.HeightNative() < minHeight)
            size.SetNativeValue(TRepPrintableSize::HeightIndex, minHeight);
    }
}

void TRepElementPrinter::DrawFrame(TRepPrinter &store, const TRepFrame &frame, const QRect &r)
{
    if (!frame.AnySide())
        return;
    const double sx = store.ScaleX(), sy = store.ScaleY();
    auto thickness = [&](double scale) {
        if (frame.Width == -1)
            return 1;
        if (frame.Width <= 0)
            return 0;
        return std::max(1, TRepDeviceMap::RoundHalfEven(scale * frame.Width * 254.0 / 72.0));
    };
    const int th = thickness(sy), tv = thickness(sx);
    const int l = r.left(), t = r.top(), rr = l + r.width(), b = t + r.height();
    if (store.DrawPass() && store.Canvas()) {
        if (frame.DrawTop && th > 0)
            FillDevice(store, frame.Color, l, t, rr, t + th);
        if (frame.DrawBottom && th > 0)
            FillDevice(store, frame.Color, l, b - th, rr, b);
        if (frame.DrawLeft && tv > 0)
            FillDevice(store, frame.Color, l, t, l + tv, b);
        if (frame.DrawRight && tv > 0)
            FillDevice(store, frame.Color, rr - tv, t, rr, b);
    }
    if (TRepExportFilter *filter = store.ExportFilter()) {
        TRepExportGraphic g;
        g.PenColor = frame.Color;
        g.PenStyle = frame.Style;
        g.PenWidth = std::max(th, 1);
        g.BrushStyle = bsClear;
        if (frame.AllSides()) {
            g.kind = TRepExportGraphic::Rectangle;
            g.X = l;
            g.Y = t;
            g.Width = rr - l;
            g.Height = b - t;
            filter->AcceptGraphic(g);
            return;
        }
        auto hline = [&](int y) {
            g.kind = TRepExportGraphic::HorLine;
            g.X = l;
            g.Y = y;
            g.Width = rr - l;
            g.Height = 0;
            filter->AcceptGraphic(g);
        };
        auto vline = [&](int x) {
            g.kind = TRepExportGraphic::VertLine;
            g.X = x;
            g.Y = t;
            g.Width = 0;
            g.Height = b - t;
            filter->AcceptGraphic(g);
        };
        if (frame.DrawTop)
            hline(t);
        if (frame.DrawBottom)
            hline(b);
        if (frame.DrawLeft)
            vline(l);
        if (frame.DrawRight)
            vline(rr);
    }
}

void TRepElementPrinter::PrintText(TRepCustomLabel &label, double offsetX, double offsetY)
{
    if (!label.Enabled)
        return;
    TRepPrinter *store = label.Printer();
    if (!store || !store->Canvas())
        return;
    TRepCanvas &cv = *store->Canvas();
    TRepExportFilter *filter = store->ExportFilter();
    const bool draw = store->DrawPass();
    TRepCustomBand *band = label.ParentBand();

    TRepFont font = label.Font();
    cv.SetFont(CanvasFont(font));
    double left = label.LeftNative() + offsetX;
    double top = label.TopNative() + offsetY;
    double width = label.WidthNative();
    double height = label.HeightNative();
    double lineHeight = cv.TextHeight(QStringLiteral("W")) / store->ScaleY();

    if (auto *db = qobject_cast<TRepDBText *>(&label))
        db->PrintCaption = FieldText(*db);
    else if (auto *sys = qobject_cast<TRepSysData *>(&label)) {
        const TRepGenerator *g = label.Report() ? TRepGenerator::Of(label.Report()) : nullptr;
        sys->PrintCaption = g ? sys->Resolve(g->PagesGenerated(), g->PageTotal()) : sys->Text();
    }

    const QString kept = label.PrintCaption;
    if (label.OnPrint) {
        QString value = label.PrintCaption;
        label.OnPrint(&label, value);
        const TRepFont after = label.Font();
        if (after != font) {
            font = after;
            cv.SetFont(CanvasFont(font));
            height = label.HeightNative();
            lineHeight = cv.TextHeight(QStringLiteral("W")) / store->ScaleY();
        }
        label.PrintCaption = value;
    }
    const double widthBefore = width;
    FormatLines(label);
    const QString printed = label.PrintCaption;
    label.PrintCaption = kept;
    width = label.WidthNative();
    height = label.HeightNative();
    // A number is never cut: a cut one reads as another amount, or as the
    // currency sign alone. Wider than its element, it prints whole in a
    // smaller size instead.
    if (!label.AutoSize && !printed.contains(QChar(13)) && !printed.contains(QChar(10)) && PrintsNumber(label)) {
        const TRepFont fitted = FittedFont(font, printed, DesignPixels(width, ReportZoom(label)), ReportZoom(label));
        if (fitted != font) {
            font = fitted;
            label.FormattedLines = {printed};
        }
    }

    const double left0 = left;
    if (!label.Transparent) {
        const int dl = store->ToDeviceX(left), dt = store->ToDeviceY(top);
        const int dr = store->ToDeviceX(left + width), db = store->ToDeviceY(top + height);
        if (filter && label.Color != QColor(255, 255, 255))
            filter->AcceptGraphic(BackgroundGraphic(dl, dt, store->ToDeviceWidth(width),
                                                    store->ToDeviceHeight(height), label.Color));
        if (draw)
            FillDevice(*store, label.Color, dl, dt, dr, db);
    }

    const int f = FrameShift(label.Frame);
    if (label.Frame.DrawTop)
        top += f;
    if (label.Frame.DrawLeft)
        left += f;

    const TRepAlignment align = EffectiveAlignment(label);
    double x = left;
    if (label.AutoSize && align == taRightJustify)
        x = left - (width - widthBefore);
    else if (label.AutoSize && align == taCenter)
        x = left - (width - widthBefore) / 2.0;
    double anchor = x;
    if (align == taRightJustify)
        anchor = x + width;
    else if (align == taCenter)
        anchor = x + width / 2.0;

    if (label.AllLinesPrinted)
        label.NextLine = 0;
    auto extra = [&] { return band ? band->ExtraHeight : 0.0; };
    auto limit = [&] { return top + height + 1 + extra(); };
    double y = top;
    bool firstGrowth = true;
    cv.SetFont(CanvasFont(font));
    while (label.NextLine < label.FormattedLines.size()) {
        if (y + lineHeight > limit()) {
            if (!label.AutoStretch || !band)
                break;
            if (!store->CanBandGrow || !store->CanBandGrow(band, lineHeight))
                break;
            const double oldLimit = limit();
            if (!(firstGrowth && band->ExtraHeight >= lineHeight))
                band->ExtraHeight += lineHeight;
            firstGrowth = false;
            if (draw && !label.Transparent && limit() > oldLimit)
                FillDevice(*store, label.Color, store->ToDeviceX(left0), store->ToDeviceY(oldLimit),
                           store->ToDeviceX(left0 + width), store->ToDeviceY(limit()));
            continue;
        }
        const QString &line = label.FormattedLines.at(label.NextLine);
        if (draw && !line.isEmpty())
            cv.TextOut(store->ToDeviceX(anchor), store->ToDeviceY(y), line, align);
        if (filter)
            filter->TextOut(font, line, align, anchor, y);
        y += lineHeight;
        ++label.NextLine;
    }
    label.AllLinesPrinted = !(label.NextLine < label.FormattedLines.size() && label.AutoStretch);

    if (label.Frame.AnySide() && (draw || filter)) {
        // Around the text where it was drawn: the frame's top and left sides
        // moved it down and right, so the whole box moves with it.
        const QRect r(QPoint(store->ToDeviceX(left - f), store->ToDeviceY(top - f)),
                      QPoint(store->ToDeviceX(left + width) - 1, store->ToDeviceY(top + height + extra()) - 1));
        DrawFrame(*store, label.Frame, r);
    }
}

void TRepElementPrinter::PrintShape(TRepShape &shape, double offsetX, double offsetY)
{
    if (!shape.Enabled)
        return;
    TRepPrinter *store = shape.Printer();
    if (!store)
        return;
    const double l = shape.LeftNative() + offsetX, t = shape.TopNative() + offsetY;
    const double w = shape.WidthNative(), h = shape.HeightNative();
    if (TRepExportFilter *filter = store->ExportFilter()) {
        static const TRepExportGraphic::Kind kinds[] = {
            TRepExportGraphic::Rectangle, TRepExportGraphic::Ellipse, TRepExportGraphic::VertLine,
            TRepExportGraphic::HorLine, TRepExportGraphic::TopAndBottom, TRepExportGraphic::RightAndLeft,
            TRepExportGraphic::RoundRect};
        const int k = int(shape.Shape);
        TRepExportGraphic g = ExportGraphic(k >= 0 && k < 7 ? kinds[k] : TRepExportGraphic::Rectangle, *store,
                                            l, t, w, h, shape.Pen, shape.Brush);
        g.RoundFactor = shape.RoundFactor;
        filter->AcceptGraphic(g);
    }
    if (!store->DrawPass() || !store->Canvas())
        return;
    TRepCanvas &cv = *store->Canvas();
    cv.SetBrush(shape.Brush);
    cv.SetPen(shape.Pen);
    const int L = store->ToDeviceX(l), T = store->ToDeviceY(t);
    const int R = store->ToDeviceX(l + w), B = store->ToDeviceY(t + h);
    auto line = [&](int x1, int y1, int x2, int y2) {
        cv.MoveTo(x1, y1);
        cv.LineTo(x2, y2);
    };
    switch (shape.Shape) {
    case rsRectangle: cv.Rectangle(L, T, R, B); break;
    case rsCircle: cv.Ellipse(L, T, R, B); break;
    case rsVertLine: {
        const int x = store->ToDeviceX(l + w / 2.0);
        line(x, T, x, B);
        break;
    }
    case rsHorLine: {
        const int y = store->ToDeviceY(t + h / 2.0);
        line(L, y, R, y);
        break;
    }
    case rsTopAndBottom:
        line(L, T, R, T);
        line(L, B, R, B);
        break;
    case rsRightAndLeft:
        line(L, T, L, B);
        line(R, T, R, B);
        break;
    case rsRoundRect: {
        const int zoom = ReportZoom(shape);
        const int corner = TRepDeviceMap::RoundHalfEven(DesignPixels(w, zoom) * shape.RoundFactor);
        cv.RoundRect(L, T, R, B, corner, corner);
        break;
    }
    }
}

void TRepElementPrinter::PrintRule(TRepHRule &rule, double offsetX, double offsetY)
{
    TRepPrinter *store = rule.Printer();
    if (!store || !rule.Enabled)
        return;
    const double l = rule.LeftNative() + offsetX, t = rule.TopNative() + offsetY;
    const double w = rule.WidthNative(), h = rule.HeightNative();
    TRepExportFilter *filter = store->ExportFilter();
    if (filter && filter->AcceptsRules()) {
        filter->AcceptGraphic(ExportGraphic(TRepExportGraphic::Rule, *store, l, t, w, h, rule.Pen, rule.Brush));
    }
    if (!store->DrawPass() || !store->Canvas())
        return;
    TRepCanvas &cv = *store->Canvas();
    cv.SetBrush(rule.Brush);
    cv.SetPen(rule.Pen);
    const int y = store->ToDeviceY(t + h / 2.0);
    cv.MoveTo(store->ToDeviceX(l), y);
    cv.LineTo(store->ToDeviceX(l + w), y);
}
