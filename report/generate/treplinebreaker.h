#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Breaks the text of a text element into the lines it prints. Widths are in
// the same unit as the text width function (design pixels of the report).
class TRepLineBreaker
{
public:
    using WidthFn = std::function<double(const QString &)>;

    TRepLineBreaker(WidthFn textWidth, double elementWidth, bool autoSize, bool wordWrap = true);

    // Plain text: line feeds are dropped, carriage returns end paragraphs.
    QStringList FormatText(const QString &text) const;
    // Text of a memo field: its own lines, each broken as a paragraph unless
    // the element sizes itself.
    QStringList FormatMemo(const QString &text) const;

    // Words of a paragraph: each runs up to and including the next space,
    // hyphen or carriage return, or to the end.
    static QStringList SplitWords(const QString &paragraph);

private:
    void FormatParagraph(const QString &paragraph, QStringList &out) const;
    bool Wider(const QString &s) const { return m_width(s) > m_elementWidth; }

    WidthFn m_width;
    double m_elementWidth;
    bool m_autoSize;
    bool m_wordWrap;
};
