#pragma once

#include "report/export/treprtfwriter.h"
#include "report/generate/trepfileexportfilter.h"

#include <QString>

#include <memory>

// Writes the text of the report of an export pass as an RTF document. The
// file under the chosen name is replaced only by a complete document.
class TRepRTFExportFilter : public TRepFileExportFilter
{
public:
    explicit TRepRTFExportFilter(const QString &fileName);
    ~TRepRTFExportFilter() override;

    QString FilterName() const override { return QStringLiteral("Formato Word"); }
    QString Extension() const override { return QStringLiteral("RTF"); }
    QString Description() const override { return QStringLiteral("RTF Export filter"); }

    // The installed families the font table starts from (the system's by
    // default).
    QStringList InstalledFamilies;

    void NewPage() override;
    void EndPage() override;
    void TextOut(const TRepFont &font, const QString &text, TRepAlignment alignment, double x, double y) override;
    void AcceptGraphic(const TRepExportGraphic &) override {}

protected:
    void StartFile(double paperWidth, double paperLength, const TRepFont &font) override;
    void FinishFile() override;
    void DiscardFile() override;

private:
    std::unique_ptr<TRepRtfWriter> m_writer;
};
