#pragma once

// The vertical arithmetic of laying bands out on a page, in native units
// (tenths of a millimetre). Positions are whole units: results are rounded
// to nearest, ties to even.
struct TRepBandPlacement
{
    // Room between the cursor and the page footer area.
    static int SpaceLeft(double paperLength, double bottomMargin, double footerReserve, double cursorY);

    // Whether a band of `needed` height may be printed at the cursor: page
    // footers always are, and so is a band taller than a whole page (it
    // could never fit anywhere) once it stands at the top of a column that
    // holds nothing yet; below other bands it would run off the page.
    static bool Fits(bool pageFooter, int spaceLeft, double needed, double length, double topMargin,
                     double bottomMargin, bool columnEmpty = true);

    // Where a band printed at the bottom of the free area starts; returns the
    // cursor unchanged when the band does not fit below it.
    static int AlignToBottomY(double paperLength, int cursorY, double bandHeight, double bottomMargin,
                              double footerReserve);

    // Top of the page footer area on a page of the report's own length.
    static int FooterTop(double length, double bottomMargin, double footerReserve);

    // Width of one column of a multi-column page, whole units.
    static int ColumnWidth(double width, double leftMargin, double rightMargin, double columnSpace, int columns);

    // The cursor after a band: whole units.
    static int Advance(int cursorY, double bandHeight, double extraHeight);
};
