#include "report/model/trepbrush.h"

Qt::BrushStyle TRepBrush::ToQtStyle(TRepBrushStyle style)
{
    switch (style) {
    case bsSolid: return Qt::SolidPattern;
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

QBrush TRepBrush::ToQBrush() const
{
    return QBrush(Color, ToQtStyle(Style));
}
