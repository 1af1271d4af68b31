#pragma once

#include "report/model/treptypes.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// Writes the text of report pages as a Rich Text Format document: the
// header with the page setup, a font table and the colour table; each page
// cut into slots one point high, the texts of a slot one paragraph whose
// pieces sit at tab stops; a page break between pages. The document is
// code page 1252 text: other letters are written as escapes.
class TRepRtfWriter
{
public:
    // A font table entry: the face and its family keyword ("\fswiss" ...).
    struct FontEntry
    {
        QString Name;
        QByteArray Family;
    };
    // The page in native units (tenths of a millimetre).
    struct PageSetup
    {
        double Width = 0;
        double Length = 0;          // 0: no paper size is written
        double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
        bool Landscape = false;
        int PaperCode = 0;
    };
    // One text piece of a line.
    struct Item
    {
        double X = 0, Y = 0;        // native units: the anchor and the top
        QString FontName;
        int HalfPoints = 20;
        bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
        QColor Color = Qt::black;
        TRepAlignment Alignment = taLeftJustify;
        QString Text;
        // The width the page prints the text at (native units); 0: as the
        // face's widths add up.
        double Width = 0;
    };

    // The slot height: one point in native units.
    static constexpr double SlotHeight = 254.0 / 72.0;
    // Native units to twips.
    static constexpr double TwipsPerNative = 1440.0 / 254.0;

    // fonts: the font table in its order (see FontTable).
    TRepRtfWriter(QIODevice &out, const PageSetup &page, const QList<FontEntry> &fonts);

    // The installed families, one per face ignoring case, with the given
    // extra names (the report's own fonts) added when missing, sorted by
    // name; a font's number is its position.
    static QList<FontEntry> FontTable(const QStringList &installed, const QStringList &extra);
    // The installed families of the system.
    static QStringList InstalledFamilies();
    // The family keyword of a face, from what the system knows of it.
    static QByteArray FamilyKeyword(const QString &face);
    // The colour table position of a colour (1 to 17), 0 for black or a
    // colour the table lacks (no colour control is written).
    static int ColorNumber(const QColor &color);
    // "\", "{" and "}" escaped, code page 1252 letters beyond ASCII as
    // \'hh, anything beyond as \uN?.
    static QByteArray EscapeText(const QString &text);

    // Raise ERepError when the device refuses bytes.
    void WriteHeader();
    void NewPage();
    // Dropped when the slot of its top is not on the page.
    void AddText(const Item &item);
    void EndPage();
    void Finish();

    int FontNumber(const QString &name) const;

    // A face's ascent, descent and line gap for a size of 1 (those of a
    // common sans-serif face when the system cannot say).
    struct FaceMetrics
    {
        double Ascent = 0.905, Descent = 0.212, Gap = 0.033;
    };
    static FaceMetrics MetricsOf(const QString &face);
    // The text as the face's widths add up at its size, in twips.
    static double NaturalWidth(const Item &item);
    int SlotCount() const { return m_slotCount; }

private:
    // The text escaped, its letters spaced to its printed width.
    static QByteArray Spaced(const Item &item);
    // The part of a text the paper holds from its place to its right edge.
    Item FitToPaper(const Item &item) const;
    // Ends the last line written, when it is still open.
    void EndParagraph();
    void Put(const QByteArray &bytes);
    void Line(const QByteArray &bytes) { Put(bytes + "\r\n"); }

    QIODevice &m_out;
    PageSetup m_page;
    QList<FontEntry> m_fonts;
    int m_slotCount = 0;
    QList<QList<Item>> m_slots;
    bool m_pageWritten = false;
    bool m_paragraphOpen = false;
};
