#pragma once
// For tests: while it lives, a list screen's minimise goes to this main
// window's window bar, as main.cpp links them in the program.
#include "app/tprincipalform.h"
#include "widgets/tscreenlinks.h"

#include <QPointer>

class TWindowBarLink
{
public:
    explicit TWindowBarLink(TPrincipalForm *principal)
    {
        TScreenLinks::MinimizeToWindowBar = [form = QPointer<TPrincipalForm>(principal)](QWidget *screen) {
            if (form)
                form->MinimizeToWindowBar(screen);
        };
    }
    ~TWindowBarLink() { TScreenLinks::MinimizeToWindowBar = {}; }
    TWindowBarLink(const TWindowBarLink &) = delete;
    TWindowBarLink &operator=(const TWindowBarLink &) = delete;
};
