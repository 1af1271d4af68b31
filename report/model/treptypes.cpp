#include "report/model/treptypes.h"

template <> const QStringList &TRepEnumNames<TRepUnit>()
{
    static const QStringList n{"MM", "Inches", "Pixels", "Characters", "Native"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepOrientation>()
{
    static const QStringList n{"poPortrait", "poLandscape"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepPaperSize>()
{
    static const QStringList n{
        "Default", "Letter", "LetterSmall", "Tabloid", "Ledger", "Legal", "Statement",
        "Executive", "A3", "A4", "A4Small", "A5", "B4", "B5", "Folio", "Quarto",
        "Paper10X14", "Paper11X17", "Note", "Env9", "Env10", "Env11", "Env12", "Env14",
        "CSheet", "DSheet", "ESheet", "EnvDL", "EnvC5", "EnvC3", "EnvC4", "EnvC6",
        "EnvC65", "EnvB4", "EnvB5", "EnvB6", "EnvItaly", "EnvMonarch", "EnvPersonal",
        "FanfoldUSStd", "FanfoldGerStd", "FanfoldGerLegal", "B4ISO", "PostcardJap",
        "Paper9X11", "Paper10X11", "Paper15X11", "EnvInvite", "Reserved1", "Reserved2",
        "LetterExtra", "LegalExtra", "TabloidExtra", "A4Extra", "LetterTrans", "A4Trans",
        "LetterExtraTrans", "SuperASuperAA4", "SuperBSuperBA3", "LetterPlus", "A4Plus",
        "A5Trans", "B5Trans", "A3Extra", "A5Extra", "B5Extra", "A2", "A3Trans",
        "A3ExtraTrans", "Custom"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepBandType>()
{
    static const QStringList n{"rbTitle", "rbPageHeader", "rbDetail", "rbPageFooter",
                               "rbSummary", "rbGroupHeader", "rbGroupFooter", "rbSubDetail",
                               "rbColumnHeader", "rbOverlay", "rbChild"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepBin>()
{
    static const QStringList n{"First", "Upper", "Lower", "Middle", "Manual",
                               "Envelope", "EnvManual", "Auto", "Tractor", "SmallFormat",
                               "LargeFormat", "LargeCapacity", "Cassette", "Last"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepZoomState>()
{
    static const QStringList n{"rzZoomToFit", "rzZoomToWidth", "rzZoomOther"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepShapeType>()
{
    static const QStringList n{"rsRectangle", "rsCircle", "rsVertLine", "rsHorLine",
                               "rsTopAndBottom", "rsRightAndLeft", "rsRoundRect"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepAlignment>()
{
    static const QStringList n{"taLeftJustify", "taRightJustify", "taCenter"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepBiDiMode>()
{
    static const QStringList n{"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                               "bdRightToLeftReadingOnly"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepPenStyle>()
{
    static const QStringList n{"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                               "psClear", "psInsideFrame"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepBrushStyle>()
{
    static const QStringList n{"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                               "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepWindowState>()
{
    static const QStringList n{"wsNormal", "wsMinimized", "wsMaximized"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepFormStyle>()
{
    static const QStringList n{"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
    return n;
}

template <> const QStringList &TRepEnumNames<TRepReportOption>()
{
    static const QStringList n{"FirstPageHeader", "LastPageFooter", "Compression"};
    return n;
}
