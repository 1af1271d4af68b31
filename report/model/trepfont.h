#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// A font as the report model keeps it: family name, point size, style and
// colour (text colour is part of the font here, as the drawing calls take it).
class TRepFont
{
public:
    QString Name = QStringLiteral("Arial");
    int Size = 10;          // points; a negative size counts by its absolute value
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    QColor Color = QColor(0, 0, 0);

    TRepFont() = default;
    TRepFont(const QString &name, int size, bool bold = false);

    // The Qt font for drawing and measuring (point size = |Size|, at least 1).
    QFont ToQFont() const;

    bool operator==(const TRepFont &other) const;
    bool operator!=(const TRepFont &other) const { return !(*this == other); }
};
