#pragma once

#include "report/model/trepcustomband.h"

// A band with a role given by its BandType (title, page header, detail...).
class TRepBand : public TRepCustomBand
{
    Q_OBJECT

public:
    explicit TRepBand(TRepBandType type = rbDetail, QObject *parent = nullptr);

    TRepBandType BandType() const override { return FBandType; }
    // rbChild is not a role of its own: it is refused with ERepError.
    void SetBandType(TRepBandType type);

private:
    TRepBandType FBandType;
};
