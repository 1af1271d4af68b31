#include "report/model/trepfont.h"

#include <cstdlib>

TRepFont::TRepFont(const QString &name, int size, bool bold)
    : Name(name), Size(size), Bold(bold)
{
}

QFont TRepFont::ToQFont() const
{
    QFont f(Name);
    f.setPointSize(qMax(1, std::abs(Size)));
    f.setBold(Bold);
    f.setItalic(Italic);
    f.setUnderline(Underline);
    f.setStrikeOut(StrikeOut);
    return f;
}

bool TRepFont::operator==(const TRepFont &o) const
{
    return Name == o.Name && Size == o.Size && Bold == o.Bold && Italic == o.Italic
        && Underline == o.Underline && StrikeOut == o.StrikeOut && Color == o.Color;
}
