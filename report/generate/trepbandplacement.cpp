#include "report/generate/trepbandplacement.h"

#include "report/page/trepdevicemap.h"

#include <cmath>

int TRepBandPlacement::SpaceLeft(double paperLength, double bottomMargin, double footerReserve, double cursorY)
{
    return TRepDeviceMap::RoundHalfEven(paperLength - bottomMargin - footerReserve - cursorY);
}

bool TRepBandPlacement::Fits(bool pageFooter, int spaceLeft, double needed, double length, double topMargin,
                             double bottomMargin, bool columnEmpty)
{
    const int n = TRepDeviceMap::RoundHalfEven(needed);
    return pageFooter || spaceLeft >= n || (n > length - (topMargin + bottomMargin) && columnEmpty);
}

int TRepBandPlacement::AlignToBottomY(double paperLength, int cursorY, double bandHeight, double bottomMargin,
                                      double footerReserve)
{
    if (paperLength - cursorY >= bandHeight + bottomMargin + footerReserve)
        return TRepDeviceMap::RoundHalfEven(paperLength - bandHeight - (bottomMargin + footerReserve));
    return cursorY;
}

int TRepBandPlacement::FooterTop(double length, double bottomMargin, double footerReserve)
{
    return TRepDeviceMap::RoundHalfEven(length - bottomMargin - footerReserve);
}

int TRepBandPlacement::ColumnWidth(double width, double leftMargin, double rightMargin, double columnSpace,
                                   int columns)
{
    if (columns < 1)
        columns = 1;
    const double w = width - (leftMargin + rightMargin) - columnSpace * (columns - 1);
    return int(std::trunc(w / columns));
}

int TRepBandPlacement::Advance(int cursorY, double bandHeight, double extraHeight)
{
    return TRepDeviceMap::RoundHalfEven(cursorY + bandHeight + extraHeight);
}
