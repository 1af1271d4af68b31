#include "report/model/trepreportbands.h"

#include "report/model/trepband.h"
#include "report/model/trepreport.h"

namespace {

bool Has(const TRepReport *r, TRepBandType t)
{
    return r->FindBand(t) != nullptr;
}

void Set(TRepReport *r, TRepBandType t, bool on)
{
    if (on) {
        if (!r->FindBand(t))
            r->AddBand(t);
        return;
    }
    while (TRepCustomBand *b = r->FindBand(t))
        r->RemoveBand(b);
}

} // namespace

bool TRepReportBands::HasTitle() const { return Has(FReport, rbTitle); }
void TRepReportBands::SetHasTitle(bool on) { Set(FReport, rbTitle, on); }
bool TRepReportBands::HasPageHeader() const { return Has(FReport, rbPageHeader); }
void TRepReportBands::SetHasPageHeader(bool on) { Set(FReport, rbPageHeader, on); }
bool TRepReportBands::HasColumnHeader() const { return Has(FReport, rbColumnHeader); }
void TRepReportBands::SetHasColumnHeader(bool on) { Set(FReport, rbColumnHeader, on); }
bool TRepReportBands::HasDetail() const { return Has(FReport, rbDetail); }
void TRepReportBands::SetHasDetail(bool on) { Set(FReport, rbDetail, on); }
bool TRepReportBands::HasPageFooter() const { return Has(FReport, rbPageFooter); }
void TRepReportBands::SetHasPageFooter(bool on) { Set(FReport, rbPageFooter, on); }
bool TRepReportBands::HasSummary() const { return Has(FReport, rbSummary); }
void TRepReportBands::SetHasSummary(bool on) { Set(FReport, rbSummary, on); }
