#pragma once
// Where windows appear: the screens and forms are centred on the desktop.
class QWidget;

class TWindowPlace
{
public:
    // Centres the window, frame included, on the available area of the
    // screen it is on (the primary screen before it has one).
    static void CenterOnDesktop(QWidget *window);
};
