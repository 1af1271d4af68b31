#include "widgets/tsearchedit.h"

#include <QKeyEvent>

TSearchEdit::TSearchEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void TSearchEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit SearchRequested();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
