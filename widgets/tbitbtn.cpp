#include "widgets/tbitbtn.h"

#include <QKeyEvent>

TBitBtn::TBitBtn(const QString &objectName, const QString &caption,
                 TButtonPictures::Motif motif, QWidget *parent)
    : QPushButton(caption, parent)
{
    setObjectName(objectName);
    setIcon(TButtonPictures::Icon(motif));
    const int size = TButtonPictures::NaturalSize(motif);
    setIconSize(QSize(size, size));
    // No button is a dialog's silent default: Enter typed in an editor must
    // not save or close anything. Enter on the focused button clicks it.
    setAutoDefault(false);
}

void TBitBtn::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
