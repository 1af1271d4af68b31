#include "report/model/trephrule.h"

TRepHRule::TRepHRule(QObject *parent)
    : TRepPrintable(parent)
{
    SetDesignPixelSize(100, 10);
}
