#include "widgets/tdbeditrules.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tdbcharset.h"
#include "widgets/tdbfieldlink.h"

#include <QApplication>
#include <QFocusEvent>
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

void TDBEditRules::RefuseText(QWidget *editor, QStringView text, qsizetype at)
{
    QApplication::beep();
    const QString message = TDbCharset::RefusedMessage(text, at);
    // The box waits until the editor has finished undoing the change: a
    // dialog opened from inside it would run a loop in the middle of it.
    QTimer::singleShot(0, editor, [message] { TMessages::ShowMessage(message); });
}

bool TDBEditRules::LeavesEditor(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
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
