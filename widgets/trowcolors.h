#pragma once
// The colours with which the grids tell what a row is. Each list paints the
// selected row sky blue and takes the text colour of a row from one of the
// rules below; no rule (std::nullopt) means the grid's own text colour.
#include <QColor>
#include <QString>
#include <optional>

class TRowColors
{
public:
    // Background of the selected row in every grid.
    static QColor SkyBlue() { return QColor(166, 202, 240); }

    // Annotation type of a client (TIPOANOT): 1 black, 2 green, 3 blue,
    // 4 red; null or any other value has no colour of its own.
    static std::optional<QColor> Annotation(std::optional<int> tipoAnot);

    // Status of a service order (SITUACAO), compared exactly.
    static std::optional<QColor> Status(const QString &situacao);

    // Stock level of a product: red below its minimum, navy otherwise.
    static QColor Stock(qint32 qtdeDisp, qint32 qtdeMin);

    // Kind of a stock movement (PRODENT.TIPO), compared exactly.
    static std::optional<QColor> Movement(const QString &tipo);

    // Suppliers and the pickers of products write every row in one colour.
    static QColor Navy() { return QColor(0, 0, 128); }

    // The pickers and the record forms' product grids: the desktop theme's
    // colour of highlighted menu items.
    static QColor MenuHighlight();
};
