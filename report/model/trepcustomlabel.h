#pragma once

#include "report/model/trepfont.h"
#include "report/model/trepprintable.h"

#include <QStringList>

#include <functional>

// Text elements. Caption is the designed text; PrintCaption is what a pass
// prints (a copy of Caption, or the field value of a data text). Line
// breaking and drawing are the printing code's; the run-time fields they
// use (FormattedLines, NextLine) live here.
class TRepCustomLabel : public TRepPrintable
{
    Q_OBJECT

public:
    explicit TRepCustomLabel(QObject *parent = nullptr);

    QString Caption() const { return FCaption; }
    virtual void SetCaption(const QString &caption);

    bool AutoSize = true;
    bool AutoStretch = false;
    bool WordWrap = true;

    // The band's font while ParentFont is on; setting a font turns it off.
    TRepFont Font() const;
    void SetFont(const TRepFont &font);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool on) { FParentFont = on; }

    // Persisted point size, applied to the font after loading when positive
    // (a font of that size already, inherited or not, is left alone).
    int FontSize = 0;
    void ApplyFontSize();

    // Called with the text about to be printed, which the handler may change.
    std::function<void(TRepCustomLabel *sender, QString &value)> OnPrint;

    // Run-time.
    QString PrintCaption;
    QStringList FormattedLines;
    int NextLine = 0;

    // Copies Caption into PrintCaption.
    void PrepareForPrint(TRepPrinter *printer) override;

private:
    QString FCaption;
    TRepFont FFont;
    bool FParentFont = true;
};
