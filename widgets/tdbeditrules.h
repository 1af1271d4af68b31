#pragma once
// What the one-line bound editors share about typed text: which keys may
// type, and what happens to the pending text when the editor is left.
#include <QtGlobal>
#include <functional>

class QChar;
class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class QStringView;
class QWidget;
class TDBFieldLink;

namespace TDBEditRules {

// A key that types printable characters (Ctrl not held) each of which
// `accepts` refuses beeps and is dropped: true when it was dropped.
bool DropRefusedKey(QKeyEvent *event, const std::function<bool(QChar)> &accepts);

// A typed or pasted text that holds a character the database cannot keep
// (position `at`) was refused by `editor`: beeps, and once the editor is
// back from its change, shows the short message that names the character.
void RefuseText(QWidget *editor, QStringView text, qsizetype at);

// Whether losing the focus is leaving the editor: another window taking the
// activation (a message box, the error box of a refused save) or a menu is
// not, and the pending text waits for the user's return; writing it then
// would refuse it a second time behind the box that already said why.
bool LeavesEditor(const QFocusEvent *event);

// Writes the pending text of `link` when `editor` is left; a refused text is
// shown in the standard error box and the editor takes the focus back with
// its text selected, so the user corrects it where it was typed.
void FinishEditing(QLineEdit *editor, TDBFieldLink *link);

} // namespace TDBEditRules
