#pragma once
// The colour legend of the client annotation types, shown by the client list
// ("Legenda Cores") and the client record form ("Legenda Anotações"). The
// meaning of green, blue and red is the user's, kept in the settings row.
#include <QString>

class TClientLegend
{
public:
    static QString Caption() { return QStringLiteral("Legenda Tipos de Anotações"); }
    // Four lines joined by a carriage return, with the settings row's texts.
    static QString Text(const QString &verde, const QString &azul, const QString &vermelho);
    // The same, with the texts of the current record of the settings dataset
    // (empty while it is closed).
    static QString Text();
    // Shows the legend: OK button, exclamation icon.
    static void Show();
};
