#pragma once

#include "report/export/trepfontmetrics.h"
#include "report/generate/trepexportfilter.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>

class QIODevice;

// Collects the pages of a PDF 1.3 document as lists of graphics and text
// operators and writes the document: catalog, outlines, page tree, pages
// with their content streams, one TrueType font dictionary and descriptor
// per report font (described, not embedded), information, ProcSet, cross
// reference table and trailer.
//
// Page contents are deflated unless asked not to be.
//
// Positions are in points from the page's top left corner, y downwards, as
// the report lays its pages out; the writer turns them into PDF's bottom-up
// space. Text is written in code page 1252, each font's encoding naming
// its 256 codes after the glyph list.
class TRepPdfWriter
{
public:
    // A shape in points: its box (top left, width, height), pen and fill.
    struct Graphic
    {
        TRepExportGraphic::Kind Kind = TRepExportGraphic::Rectangle;
        double X = 0, Y = 0, Width = 0, Height = 0;
        double PenWidth = 0.75;
        QColor PenColor = Qt::black;
        QColor FillColor = Qt::white;
        bool Filled = false;
        bool Stroked = true;
        double CornerRadius = 0;    // of a rounded rectangle
    };
    // A report font: its PDF name and resource name follow from these.
    struct Font
    {
        QString Name;
        bool Bold = false;
        bool Italic = false;
        int Charset = 0;            // 0: code page 1252
        QString Key() const;        // name, tab, style letters, tab, charset, tab, PDF name
        QByteArray PdfName() const; // "Arial,Bold"
    };

    TRepPdfWriter();

    // Pictures are LZW-compressed (inside their base-85 text) while on.
    bool Compression = true;
    // Page contents are deflated (FlateDecode) while on: a report's pages
    // repeat the same operators row after row.
    bool DeflateContent = true;
    // The document information. The defaults name only the engine: the
    // program that uses it sets its own name where it wants one.
    QString Creator = QStringLiteral("Banded report engine");
    QString Producer = QStringLiteral("Banded report engine PDF writer");
    QString Subject, Title, Author;
    // How fonts are measured (the installed font files by default).
    std::function<TRepFontMetrics(const QString &family, bool bold, bool italic)> MeasureFont;

    // Pages: a page begun receives the items until the next one begins.
    void BeginPage(double widthPoints, double heightPoints);
    // Drops the pages and fonts collected (the settings stay).
    void Clear();
    bool HasPage() const { return !m_pages.isEmpty(); }
    int PageCount() const { return int(m_pages.size()); }

    // One line of text; x its left edge, baseline its baseline, size in
    // points. With a width (points) the text is scaled horizontally to fill
    // it exactly, as wide as the page that measured it draws it. Raises
    // ERepError when the font is new and cannot be measured.
    void AddText(const Font &font, double size, const QColor &color, const QString &text, double x, double baseline,
                 double width = 0);
    // The text's natural width in points in a font of the document.
    double NaturalWidth(int fontIndex, const QString &text, double size) const;
    // Raises ERepError ("Internal error: IT_INVALID") for a kind it does not know.
    void AddGraphic(const Graphic &graphic);
    // The image's pixels stretched into the box.
    void AddPicture(const QImage &image, double x, double y, double width, double height);

    // Font descriptor flags of the face's style.
    static constexpr int ItalicFlag = 1 << 6;
    static constexpr int ForceBoldFlag = 1 << 18;

    const QList<Font> &Fonts() const { return m_fonts; }
    // The resource name of the font at `index`: "F00", "F01", ...
    static QByteArray ResourceName(int index);
    // The encoding of a code page 1252 font: the Differences naming codes 2 to 255.
    static QByteArray WinAnsiEncoding();
    // A string operand: the text in code page 1252 between brackets, with
    // "\", "(" and ")" escaped and control bytes written as octal escapes.
    static QByteArray StringOperand(const QString &text);
    // A number as the operators take it: at most two decimals, no exponent.
    static QByteArray Num(double v);
    // "D:YYYYMMDDHHmmSS".
    static QByteArray PdfDate(const QDateTime &when);

    // Writes the whole document (a page is begun if none was). Raises
    // ERepError when the device refuses bytes.
    void Write(QIODevice &out, const QDateTime &created = QDateTime::currentDateTime());

private:
    class Output;   // the bytes written so far and where each object began
    struct Page
    {
        double Width = 0, Height = 0;
        QByteArray Graphics;
        QByteArray Text;
        // What the operators last set, so that repeats are left out.
        QByteArray TextColor, TextFont, TextScale, LineWidth, StrokeColor, FillColor;
    };
    int FontIndex(const Font &font);
    Page &Current();
    void SetLineWidth(Page &p, double width);
    void SetStrokeColor(Page &p, const QColor &c);
    void SetFillColor(Page &p, const QColor &c);
    static QByteArray ColorOperands(const QColor &c);

    // The document's objects in the order they are written.
    static int PageObject(int page);    // its contents follow it
    int FontObject(int font) const;     // its descriptor follows it
    int InfoObject() const;
    int ProcSetObject() const;
    static void WriteHeader(Output &out);
    static void WriteCatalog(Output &out);   // and the (empty) outlines
    void WritePageTree(Output &out) const;
    void WriteResources(Output &out) const;
    void WritePage(Output &out, int index) const;
    void WriteContents(Output &out, int index) const;
    void WriteFont(Output &out, int index) const;
    void WriteFontDescriptor(Output &out, int index) const;
    void WriteInfo(Output &out, const QDateTime &created) const;
    void WriteProcSet(Output &out) const;
    void WriteXrefAndTrailer(Output &out) const;

    QList<Page> m_pages;
    QList<Font> m_fonts;
    QList<TRepFontMetrics> m_metrics;   // of each font, measured when it is first used
    bool m_pictures = false;
};
