#pragma once
// Steps on the real program's main window in an end-to-end session: its
// caption and the message boxes' caption, opening a screen from one of the
// pictures, and "Arquivo" > "Sair".
#include <QString>

class TFbTestDb;
class TXSession;

class TMainWindowSteps
{
public:
    // The main window's caption and that of every message box (the error
    // box among them), as window name patterns.
    static QString MainWindow();
    static QString MessageBox();

    // The left edges of the pictures, 67 pixels apart, and a height inside
    // each of them whatever the menu bar's height.
    static constexpr int ClientsX = 34, SuppliersX = 101, OrdersX = 168, StockX = 235, ReportX = 302;
    static constexpr int PictureY = 50;

    // Starts the virtual X server of `x` (with keys of their own for the
    // accented `letters` typed later) and the program on `db`'s file, HOME
    // and settings in its folder; the main window's id once it shows, or an
    // empty text with x.Error() saying why.
    static QString Launch(TXSession &x, const TFbTestDb &db, const QString &letters = {});
    // Clicks the picture at `pictureX` until the window named `caption`
    // shows (a click that lands while the picture swaps under the cursor is
    // lost); its id, or an empty text.
    static QString OpenFromPicture(TXSession &x, const QString &main, int pictureX, const QString &caption);
    // "Arquivo" > "Sair": the menu opens as a window of its own, "Sair" is
    // two steps down (below "Configurações").
    static bool ChooseSair(TXSession &x, const QString &main);
};
