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

    // Of a group header: the field of the report's data source whose value
    // starts a new group when it changes (an empty one never does), and the
    // name of the group footer band printed when the group ends. Group
    // headers nest in band list order, the first one outermost.
    QString GroupField;
    QString GroupFooter;
    // Of a group header: printed again at the top of each page (and
    // column) the group goes on to, so that its rows there are headed too.
    bool ReprintOnNewPage = false;

private:
    TRepBandType FBandType;
};
