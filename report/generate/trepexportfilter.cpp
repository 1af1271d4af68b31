#include "report/generate/trepexportfilter.h"

TRepExportFilter::~TRepExportFilter() = default;

void TRepExportFilter::Attach(TRepReport *report, TRepPrinter *printer)
{
    m_report = report;
    m_printer = printer;
}

void TRepExportFilter::Begin(double paperWidth, double paperLength, const TRepFont &font)
{
    if (m_started)
        return;
    Start(paperWidth, paperLength, font);
    m_started = true;
}

void TRepExportFilter::End()
{
    if (!m_started)
        return;
    m_started = false;
    Finish();
}

void TRepExportFilter::Abort() noexcept
{
    if (!m_started)
        return;
    m_started = false;
    try {
        Discard();
    } catch (...) {
        // Nothing is kept of the document either way.
    }
}

void TRepExportFilter::BandComplete(const TRepCustomBand *, double, double)
{
}
