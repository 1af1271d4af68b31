#pragma once

#include "report/model/trepfont.h"
#include "report/model/trepframe.h"
#include "report/page/trepcanvas.h"

#include <QRect>
#include <QStringList>

class TRepCustomLabel;
class TRepDBCalc;
class TRepDBText;
class TRepHRule;
class TRepPrinter;
class TRepPrintable;
class TRepShape;

// What the printable elements draw on a page: the printing half of the
// element classes, which keep only their data. Works on the element's page
// store (taken by PrepareForPrint) and the pass it runs in.
class TRepElementPrinter
{
public:
    // Prints an element with its band's top-left corner at (offsetX, offsetY)
    // in tenths of a millimetre, by its kind: text, shape or rule; an element
    // of any other kind has nothing of its own to draw.
    static void Print(TRepPrintable &element, double offsetX, double offsetY);

    // Element kinds.
    static void PrintText(TRepCustomLabel &label, double offsetX, double offsetY);
    static void PrintShape(TRepShape &shape, double offsetX, double offsetY);
    static void PrintRule(TRepHRule &rule, double offsetX, double offsetY);

    // A data text's field, looked up when the pass starts: none when the
    // element has no dataset or the dataset no such field.
    static void PrepareDBText(TRepDBText &text);
    // The field value as the element prints it (empty on any failure);
    // `memoLines` is set for memo and binary fields.
    static QString FieldText(TRepDBText &text, bool *isMemo = nullptr);
    // What a total prints: the count, or the exact sum (through Mask when
    // it has one).
    static QString CalcText(const TRepDBCalc &calc);

    // Rebuilds the formatted lines of a text element (and, for AutoSize,
    // its width and height).
    static void FormatLines(TRepCustomLabel &label);
    // Width of a text in design pixels (text extent + 1, times zoom / 100)
    // and the height of "W", with the element's font at 96 pixels per inch.
    static double DesignTextWidth(const TRepFont &font, const QString &text, int zoom = 100);
    static double DesignTextHeight(const TRepFont &font, int zoom = 100);
    // The font a one-line text prints whole in within `width` design
    // pixels: the font itself when the text fits, else the largest whole
    // point size below it that fits (1 point at the least).
    static TRepFont FittedFont(const TRepFont &font, const QString &text, double width, int zoom = 100);

    // A frame around a device rectangle (right and bottom exclusive), drawn
    // in a drawing pass and handed to the export filter of an exporting one.
    static void DrawFrame(TRepPrinter &store, const TRepFrame &frame, const QRect &device);

    static TRepCanvasFont CanvasFont(const TRepFont &font) { return TRepCanvasFont(font); }
};
