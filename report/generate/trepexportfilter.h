#pragma once

#include "report/model/trepfont.h"
#include "report/model/treptypes.h"

#include <QColor>
#include <QString>

class TRepCustomBand;
class TRepPrinter;
class TRepReport;

// A graphic handed to an export filter: a shape, a rule, or one of the
// rectangles and lines the engine makes for backgrounds and frames.
// Positions and sizes are device pixels of the page store of the pass.
struct TRepExportGraphic
{
    // Stored as a plain int: a filter must refuse a kind it does not know
    // (a newer engine, a damaged item), so any value has to be readable.
    enum Kind : int {
        Rectangle,      // outlined with the pen and/or filled with the brush
        Ellipse,
        HorLine,        // across the middle of the box
        VertLine,       // down the middle of the box
        TopAndBottom,   // the top and bottom edges
        RightAndLeft,   // the left and right edges
        RoundRect,
        Rule            // a horizontal rule element: a line across the middle
    };
    Kind kind = Rectangle;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    int PenWidth = 1;
    QColor PenColor = Qt::black;
    TRepPenStyle PenStyle = psSolid;
    QColor BrushColor = Qt::white;
    TRepBrushStyle BrushStyle = bsSolid;
    double RoundFactor = 0;     // of a rounded rectangle

    bool Filled() const { return BrushStyle != bsClear; }
    bool Stroked() const { return PenStyle != psClear; }
};

// Receives the content of a report during an export-only pass: the elements
// and bands hand it their text and graphics, the pass tells it where pages
// begin and end. A filter writes its file at Finish; a pass that is cancelled
// or fails gives the document up with Abort, and the filter writes nothing.
class TRepExportFilter
{
public:
    virtual ~TRepExportFilter();

    virtual QString FilterName() const = 0;     // as the save dialog lists it
    virtual QString Extension() const = 0;      // without the dot
    virtual QString Description() const = 0;

    // The pass of the export: its page store (units and device pixels) and
    // the report, valid from Start to Finish.
    TRepPrinter *Printer() const { return m_printer; }
    TRepReport *Report() const { return m_report; }
    void Attach(TRepReport *report, TRepPrinter *printer);
    bool Started() const { return m_started; }

    // Begins the document; paper width and length in native units.
    void Begin(double paperWidth, double paperLength, const TRepFont &font);
    // Ends the document: the filter writes what it collected.
    void End();
    // Gives the document up: the filter drops what it collected (Discard)
    // and is no longer started, so the next pass begins a fresh document.
    // Never throws: it runs while a pass is being unwound.
    void Abort() noexcept;

    virtual void NewPage() = 0;
    virtual void EndPage() = 0;
    // One line of text at its anchor (x, y) in native units: the left edge,
    // right edge or centre after the alignment, the top of the line.
    virtual void TextOut(const TRepFont &font, const QString &text, TRepAlignment alignment, double x,
                         double y) = 0;
    virtual void AcceptGraphic(const TRepExportGraphic &graphic) = 0;
    // Whether horizontal rule elements are handed over (as Rule graphics).
    virtual bool AcceptsRules() const { return false; }
    // A band has been printed: where it started (native units) and how much
    // it grew while stretching.
    virtual void BandComplete(const TRepCustomBand *band, double extraHeight, double startY);

protected:
    virtual void Start(double paperWidth, double paperLength, const TRepFont &font) = 0;
    virtual void Finish() = 0;
    virtual void Discard() {}

private:
    TRepPrinter *m_printer = nullptr;
    TRepReport *m_report = nullptr;
    bool m_started = false;
};
