#include "trephrule.h"

#include "trepelementprinter.h"

TRepHRule::TRepHRule(QObject *parent)
    : TRepPrintable(parent)
{
    SetDesignPixelSize(100, 10);
}

void TRepHRule::PrintAt(double offsetX, double offsetY)
{
    TRepElementPrinter::PrintRule(*this, offsetX, offsetY);
}
