#pragma once
// What the one-line bound editors share about typed text: which keys may
// type, and what happens to the pending text when the editor is left.
#include <functional>

class QChar;
class QKeyEvent;
class QLineEdit;
class TDBFieldLink;

namespace TDBEditRules {

// A key that types printable characters (Ctrl not held) each of which
// `accepts` refuses beeps and is dropped: true when it was dropped.
bool DropRefusedKey(QKeyEvent *event, const std::function<bool(QChar)> &accepts);

// Writes the pending text of `link` when `editor` is left; a refused text is
// shown in the standard error box and the editor takes the focus back with
// its text selected, so the user corrects it where it was typed.
void FinishEditing(QLineEdit *editor, TDBFieldLink *link);

} // namespace TDBEditRules
