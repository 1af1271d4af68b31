#pragma once
// A push button with a small picture left of its caption.
#include "widgets/tbuttonpictures.h"

#include <QPushButton>

class TBitBtn : public QPushButton
{
    Q_OBJECT
public:
    TBitBtn(const QString &objectName, const QString &caption,
            TButtonPictures::Motif motif, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
