#include "widgets/tsearchedit.h"

#include "widgets/tcharsetvalidator.h"

#include <QKeyEvent>

TSearchEdit::TSearchEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // What is searched for is compared with stored text: a character the
    // database cannot hold would only ever find nothing.
    new TCharsetValidator(this);
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
