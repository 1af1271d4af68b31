#pragma once

#include "report/model/trepdbtext.h"

#include <optional>

// A total over the records of the detail loop: how many there were (Count)
// or the sum of a numeric field (Sum), since the start of the report or of
// the group its ResetGroup band starts. Typically placed on a group footer
// or on the summary band.
//
// Sums are kept exactly in ten-thousandths (four decimal places, what a
// money field holds): each value is rounded half away from zero to that
// step before it is added, so adding many amounts never drifts. A sum that
// would leave the 64-bit range prints as "#####".
class TRepDBCalc : public TRepDBText
{
    Q_OBJECT

public:
    enum Kind { Sum, Count };

    explicit TRepDBCalc(QObject *parent = nullptr);

    Kind Calc = Sum;
    // Name of the group header band whose new group starts the total again;
    // empty: the total runs over the whole report.
    QString ResetGroup;

    static QString KindName(Kind kind);
    static std::optional<Kind> KindFromName(const QString &name);

    // During a pass.
    void Reset();
    // Adds the current record of DataSet (Sum reads DataField; an empty value
    // adds nothing; a value that is no number makes the total unknown).
    void Accumulate();
    qint64 Records() const { return FRecords; }
    // The sum in ten-thousandths; nothing once it could not be kept exactly.
    std::optional<qint64> SumUnits() const;

    // Rounds a value to ten-thousandths, half away from zero; nothing when it
    // is no finite number or out of range.
    static std::optional<qint64> ToUnits(const QVariant &value);

private:
    qint64 FRecords = 0;
    qint64 FUnits = 0;
    bool FBroken = false;
};
