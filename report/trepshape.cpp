#include "trepshape.h"

#include "trepelementprinter.h"

TRepShape::TRepShape(QObject *parent)
    : TRepPrintable(parent)
{
    SetDesignPixelSize(65, 65);
}

void TRepShape::PrintAt(double offsetX, double offsetY)
{
    TRepElementPrinter::PrintShape(*this, offsetX, offsetY);
}
