#include "treplabel.h"

TRepLabel::TRepLabel(QObject *parent)
    : TRepCustomLabel(parent)
{
}
