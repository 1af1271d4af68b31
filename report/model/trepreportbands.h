#pragma once

class TRepReport;

// The report's band switches: reading tells whether a band of the type
// exists; setting true creates one, false frees every band of the type.
class TRepReportBands
{
public:
    explicit TRepReportBands(TRepReport *report) : FReport(report) {}

    bool HasTitle() const;
    void SetHasTitle(bool on);
    bool HasPageHeader() const;
    void SetHasPageHeader(bool on);
    bool HasColumnHeader() const;
    void SetHasColumnHeader(bool on);
    bool HasDetail() const;
    void SetHasDetail(bool on);
    bool HasPageFooter() const;
    void SetHasPageFooter(bool on);
    bool HasSummary() const;
    void SetHasSummary(bool on);

private:
    TRepReport *FReport;
};
