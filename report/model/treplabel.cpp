#include "report/model/treplabel.h"

TRepLabel::TRepLabel(QObject *parent)
    : TRepCustomLabel(parent)
{
}
