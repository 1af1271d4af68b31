#pragma once
// How a screen reaches what lies outside its own folder: the main window's
// window bar, the order printout, the client picker and the settings screen.
// Screens never include one another; main.cpp fills these links in when it
// wires the program together, and tests fill in their own. A link left empty
// does nothing.
#include <functional>

class QWidget;

class TScreenLinks
{
public:
    // Hides a list screen into the main window's window bar.
    static inline std::function<void(QWidget *screen)> MinimizeToWindowBar;
    // Previews the printout of the order with that key.
    static inline std::function<void(int idOrdem)> PrintOrder;
    // Lets the user choose the current client (the client picker).
    static inline std::function<void(QWidget *parent)> PickClient;
    // Opens the settings screen on the printout header's page.
    static inline std::function<void(QWidget *parent)> OpenHeaderSettings;
};
