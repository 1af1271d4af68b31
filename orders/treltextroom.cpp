#include "orders/treltextroom.h"

#include "report/generate/trepelementprinter.h"
#include "report/model/trepcustomband.h"
#include "report/model/trepcustomlabel.h"
#include "report/model/trepreport.h"

#include <QStringList>

namespace {

constexpr double NativePerDesignPixel = 254.0 / 96.0;

bool SameLine(const TRepPrintable &a, const TRepPrintable &b)
{
    return a.TopNative() < b.TopNative() + b.HeightNative() && b.TopNative() < a.TopNative() + a.HeightNative();
}

} // namespace

double TRelTextRoom::RoomNative(const TRepCustomLabel &label)
{
    const TRepCustomBand *band = label.ParentBand();
    if (!band)
        return 0;
    const double left = label.LeftNative();
    const double right = left + label.WidthNative();
    const bool rightJustified = label.Alignment() == taRightJustify;
    double edge = rightJustified ? 0 : band->WidthNative();
    for (const TRepPrintable *other : band->Elements()) {
        if (other == &label || !other->Enabled || !SameLine(label, *other))
            continue;
        if (rightJustified) {
            const double otherRight = other->LeftNative() + other->WidthNative();
            if (otherRight < right && other->LeftNative() < left)
                edge = std::max(edge, otherRight);
        } else if (other->LeftNative() > left) {
            edge = std::min(edge, other->LeftNative());
        }
    }
    return std::max(0.0, rightJustified ? right - edge : edge - left);
}

QString TRelTextRoom::CutToRoom(const QString &text, const TRepFont &font, double roomNative, int zoom)
{
    const double roomPx = roomNative / NativePerDesignPixel * zoom / 100.0;
    auto fits = [&](const QString &s) {
        return s.isEmpty() || TRepElementPrinter::DesignTextWidth(font, s, zoom) <= roomPx;
    };
    QStringList lines = text.split(QLatin1Char('\r'));
    for (QString &line : lines) {
        if (fits(line))
            continue;
        // The longest start that fits (widths grow with the length).
        qsizetype lo = 0, hi = line.size();
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            if (fits(line.left(mid)))
                lo = mid;
            else
                hi = mid - 1;
        }
        // Never end inside a surrogate pair.
        if (lo > 0 && line.at(lo - 1).isHighSurrogate())
            --lo;
        line.truncate(lo);
    }
    return lines.join(QLatin1Char('\r'));
}

void TRelTextRoom::Install(TRepCustomLabel &label)
{
    label.OnPrint = [](TRepCustomLabel *sender, QString &value) {
        if (!sender->AutoSize)
            return;     // a fixed box breaks its text into its own width
        const TRepReport *report = sender->Report();
        value = CutToRoom(value, sender->Font(), RoomNative(*sender), report ? report->Zoom() : 100);
    };
}
