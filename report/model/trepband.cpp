#include "report/model/trepband.h"

#include "report/model/ereperror.h"
#include "report/model/trepreport.h"

TRepBand::TRepBand(TRepBandType type, QObject *parent)
    : TRepCustomBand(parent), FBandType(type == rbChild ? rbDetail : type)
{
    if (type == rbChild)
        throw ERepError(QStringLiteral("A child band is made with its parent band"));
}

void TRepBand::SetBandType(TRepBandType type)
{
    if (type == rbChild)
        throw ERepError(QStringLiteral("A child band is made with its parent band"));
    FBandType = type;
    if (Report())
        Report()->LayoutBands();
}
