#include "report/model/trepshape.h"

TRepShape::TRepShape(QObject *parent)
    : TRepPrintable(parent)
{
    SetDesignPixelSize(65, 65);
}
