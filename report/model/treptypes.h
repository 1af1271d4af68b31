#pragma once

// The small value types of the report model and the names under which they
// are written in a stored layout (see TRepLayout).

#include <QFlags>
#include <QString>
#include <QStringList>

#include <optional>

// Display unit of a size object. Every length is stored in tenths of a
// millimetre (Native); the other units are conversions of it.
enum class TRepUnit { MM, Inches, Pixels, Characters, Native };

// Horizontal quantities: widths, left positions, left/right margins, column
// spacing. Vertical ones: heights, top positions, top/bottom margins, length.
enum class TRepDirection { Horizontal, Vertical };

enum TRepOrientation { poPortrait, poLandscape };

// The ordinal is the driver paper code, except Custom (sent as 256).
enum class TRepPaperSize {
    Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive,
    A3, A4, A4Small, A5, B4, B5, Folio, Quarto, Paper10X14, Paper11X17, Note,
    Env9, Env10, Env11, Env12, Env14, CSheet, DSheet, ESheet, EnvDL, EnvC5,
    EnvC3, EnvC4, EnvC6, EnvC65, EnvB4, EnvB5, EnvB6, EnvItaly, EnvMonarch,
    EnvPersonal, FanfoldUSStd, FanfoldGerStd, FanfoldGerLegal, B4ISO,
    PostcardJap, Paper9X11, Paper10X11, Paper15X11, EnvInvite, Reserved1,
    Reserved2, LetterExtra, LegalExtra, TabloidExtra, A4Extra, LetterTrans,
    A4Trans, LetterExtraTrans, SuperASuperAA4, SuperBSuperBA3, LetterPlus,
    A4Plus, A5Trans, B5Trans, A3Extra, A5Extra, B5Extra, A2, A3Trans,
    A3ExtraTrans, Custom
};

enum TRepBandType {
    rbTitle, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader,
    rbGroupFooter, rbSubDetail, rbColumnHeader, rbOverlay, rbChild
};

// Paper source. Several values share a driver code (see TRepReportPrinterSettings::BinCode).
enum class TRepBin {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor,
    SmallFormat, LargeFormat, LargeCapacity, Cassette, Last
};

enum class TRepReportOption { FirstPageHeader = 0x1, LastPageFooter = 0x2, Compression = 0x4 };
Q_DECLARE_FLAGS(TRepReportOptions, TRepReportOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TRepReportOptions)

enum TRepZoomState { rzZoomToFit, rzZoomToWidth, rzZoomOther };

enum TRepShapeType {
    rsRectangle, rsCircle, rsVertLine, rsHorLine, rsTopAndBottom, rsRightAndLeft, rsRoundRect
};

enum TRepAlignment { taLeftJustify, taRightJustify, taCenter };

enum TRepBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Line styles of pens and frames, as the drawing calls know them.
enum TRepPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

enum TRepBrushStyle {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

// How the preview window opens.
enum TRepWindowState { wsNormal, wsMinimized, wsMaximized };
enum TRepFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

// Names of the values above, in declaration order, as a stored layout writes them.
template <typename E> const QStringList &TRepEnumNames();

template <typename E> QString TRepEnumName(E value)
{
    const QStringList &names = TRepEnumNames<E>();
    const int i = static_cast<int>(value);
    return i >= 0 && i < names.size() ? names.at(i) : QString();
}

template <typename E> std::optional<E> TRepEnumFromName(const QString &name)
{
    const int i = TRepEnumNames<E>().indexOf(name);
    if (i < 0)
        return std::nullopt;
    return static_cast<E>(i);
}

template <> const QStringList &TRepEnumNames<TRepUnit>();
template <> const QStringList &TRepEnumNames<TRepOrientation>();
template <> const QStringList &TRepEnumNames<TRepPaperSize>();
template <> const QStringList &TRepEnumNames<TRepBandType>();
template <> const QStringList &TRepEnumNames<TRepBin>();
template <> const QStringList &TRepEnumNames<TRepZoomState>();
template <> const QStringList &TRepEnumNames<TRepShapeType>();
template <> const QStringList &TRepEnumNames<TRepAlignment>();
template <> const QStringList &TRepEnumNames<TRepBiDiMode>();
template <> const QStringList &TRepEnumNames<TRepPenStyle>();
template <> const QStringList &TRepEnumNames<TRepBrushStyle>();
template <> const QStringList &TRepEnumNames<TRepWindowState>();
template <> const QStringList &TRepEnumNames<TRepFormStyle>();
// Option names in bit order (FirstPageHeader, LastPageFooter, Compression).
template <> const QStringList &TRepEnumNames<TRepReportOption>();
