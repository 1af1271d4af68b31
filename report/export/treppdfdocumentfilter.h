#pragma once

#include "report/export/treppdfwriter.h"
#include "report/generate/trepfileexportfilter.h"
#include "report/page/trepdevicemap.h"

#include <QImage>
#include <QString>

// Writes the report of an export pass as a PDF file. Text lands where the
// printed page has it: the same device pixels as the page canvas, the
// baseline at the top plus the font's ascent, the font at the pixel size
// the page draws it with. The file under the chosen name is replaced only
// by a complete document: a pass that fails or is given up leaves it as it
// was.
class TRepPDFDocumentFilter : public TRepFileExportFilter
{
public:
    explicit TRepPDFDocumentFilter(const QString &fileName);

    QString FilterName() const override { return QStringLiteral("Documento PDF"); }
    QString Extension() const override { return QStringLiteral("PDF"); }
    QString Description() const override { return QStringLiteral("PDF document filter"); }

    // Pictures LZW-compressed; on unless switched off.
    bool CompressionOn = true;
    // The writer, for the document information and how fonts are measured.
    // Its title, when not given, is the report's title.
    TRepPdfWriter &Writer() { return m_writer; }

    void NewPage() override;
    void EndPage() override;
    void TextOut(const TRepFont &font, const QString &text, TRepAlignment alignment, double x, double y) override;
    void AcceptGraphic(const TRepExportGraphic &graphic) override;
    bool AcceptsRules() const override { return true; }
    // A picture drawn into the box of device pixels (x, y, width, height).
    void AcceptPicture(const QImage &image, int x, int y, int width, int height);

protected:
    void StartFile(double paperWidth, double paperLength, const TRepFont &font) override;
    void FinishFile() override;
    void DiscardFile() override;

private:
    void EnsurePage();
    TRepDeviceMap Map() const;
    double PointsPerPixelX() const;
    double PointsPerPixelY() const;

    TRepPdfWriter m_writer;
    double m_pageWidth = 0;     // points
    double m_pageHeight = 0;
    bool m_firstNewPage = true;
    bool m_pageBegun = false;
    QString m_titleFromReport;   // the title the last pass took from its report
};
