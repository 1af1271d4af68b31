#include "report/generate/treplinebreaker.h"

#include <utility>

TRepLineBreaker::TRepLineBreaker(WidthFn textWidth, double elementWidth, bool autoSize, bool wordWrap)
    : m_width(std::move(textWidth)), m_elementWidth(elementWidth), m_autoSize(autoSize), m_wordWrap(wordWrap)
{
}

QStringList TRepLineBreaker::SplitWords(const QString &paragraph)
{
    QStringList words;
    QString word;
    for (QChar c : paragraph) {
        word += c;
        if (c == u' ' || c == u'-' || c == u'\r') {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

void TRepLineBreaker::FormatParagraph(const QString &paragraph, QStringList &out) const
{
    if (m_autoSize) {
        out << paragraph;
        return;
    }
    QString line;
    const QStringList words = SplitWords(paragraph);
    for (QString word : words) {
        if (!Wider(line + word)) {
            line += word;
            continue;
        }
        if (!m_wordWrap) {
            // A non-wrapping element keeps the first line of its paragraph:
            // the words that fit, the rest is not printed.
            out << line;
            return;
        }
        if (line.isEmpty()) {
            // The word alone does not fit: take what fits, drop the rest.
            while (!word.isEmpty() && m_width(line + word.at(0)) < m_elementWidth) {
                line += word.at(0);
                word.remove(0, 1);
            }
            word.clear();
        }
        out << line;
        line.clear();
        if (Wider(word)) {
            while (!word.isEmpty() && Wider(word))
                word.chop(1);
            out << word;
        } else {
            line = word;
        }
    }
    out << line;
}

QStringList TRepLineBreaker::FormatText(const QString &text) const
{
    QString t = text;
    t.remove(QChar(10));
    QStringList lines;
    if (!t.contains(QChar(13))) {
        FormatParagraph(t, lines);
        return lines;
    }
    const QStringList paragraphs = t.split(QChar(13));
    for (const QString &p : paragraphs) {
        if (p.isEmpty())
            lines << QString();
        else
            FormatParagraph(p, lines);
    }
    return lines;
}

QStringList TRepLineBreaker::FormatMemo(const QString &text) const
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QChar(13), QChar(10));
    QStringList own = t.split(QChar(10));
    if (own.size() > 1 && own.last().isEmpty())
        own.removeLast();   // a final line break ends the last line, it adds none
    if (m_autoSize)
        return own;
    QStringList lines;
    for (const QString &p : std::as_const(own)) {
        if (p.isEmpty())
            lines << QString();
        else
            FormatParagraph(p, lines);
    }
    return lines;
}
