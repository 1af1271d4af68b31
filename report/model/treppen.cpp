#include "report/model/treppen.h"

Qt::PenStyle TRepPen::ToQtStyle(TRepPenStyle style)
{
    switch (style) {
    case psSolid: return Qt::SolidLine;
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    case psInsideFrame: return Qt::SolidLine;
    }
    return Qt::SolidLine;
}

QPen TRepPen::ToQPen() const
{
    QPen p(Color);
    p.setStyle(ToQtStyle(Style));
    p.setWidth(Width);
    return p;
}
