#pragma once

#include "report/model/trepcustomband.h"

#include <QPointer>

// A band printed directly after its parent band, in the parent's role.
class TRepChildBand : public TRepCustomBand
{
    Q_OBJECT

public:
    explicit TRepChildBand(QObject *parent = nullptr);

    TRepBandType BandType() const override { return rbChild; }

    TRepCustomBand *ParentBand() const { return FParentBand; }
    // Refused with ERepError when it would make the band its own ancestor.
    void SetParentBand(TRepCustomBand *band);
    // The first ancestor that is not a child band (none when detached).
    TRepCustomBand *RootBand() const;

private:
    QPointer<TRepCustomBand> FParentBand;
};
