#pragma once

#include "report/model/trepcustomlabel.h"

// Fixed text.
class TRepLabel : public TRepCustomLabel
{
    Q_OBJECT

public:
    explicit TRepLabel(QObject *parent = nullptr);
};
