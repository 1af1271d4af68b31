#pragma once
// One column of a grid: the field it shows, its title, and its width in
// pixels (0: derived from the field's size and the title).
#include <QString>

struct TGridColumn
{
    QString fieldName;
    QString title;   // empty: the field name itself
    int width = 0;
};
