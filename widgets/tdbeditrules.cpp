#include "widgets/tdbeditrules.h"

#include "app/tguard.h"
#include "widgets/tdbfieldlink.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

bool TDBEditRules::DropRefusedKey(QKeyEvent *event, const std::function<bool(QChar)> &accepts)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint() || (event->modifiers() & Qt::ControlModifier))
        return false;
    for (QChar c : text) {
        if (!accepts(c)) {
            QApplication::beep();
            event->accept();
            return true;
        }
    }
    return false;
}

void TDBEditRules::FinishEditing(QLineEdit *editor, TDBFieldLink *link)
{
    if (!link->Pending())
        return;
    if (!Guard([link] { link->Flush(); })) {
        QTimer::singleShot(0, editor, [editor] {
            editor->setFocus();
            editor->selectAll();
        });
    }
}
