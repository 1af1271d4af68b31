#pragma once
// The two kinds of message box every screen uses, both captioned with the
// application title: the plain message and the standard error box. A test
// replaces the presenter so that no box ever blocks (see TMessageRecorder).
#include <QString>
#include <functional>

struct TMessageBoxRequest;

class TMessages
{
public:
    enum Icon { NoIcon, Information, Warning, Error, Question };
    enum Button { Ok = 0x1, Yes = 0x2, No = 0x4, YesNo = Yes | No, Cancel = 0x8, YesNoCancel = Yes | No | Cancel };
    // Shows the box and returns the button pressed (one Button value).
    using Presenter = std::function<int(const TMessageBoxRequest &)>;

    // Plain message: no icon, one OK button, captioned with the application title.
    static void ShowMessage(const QString &text);
    // A message box with its own caption, icon and buttons (Ok, YesNo or
    // YesNoCancel; closing a box that has Cancel answers Cancel);
    // returns the button pressed.
    static int MessageBox(const QString &text, const QString &caption, Icon icon, int buttons);
    // The application's standard error box: application title, error icon,
    // OK, and the message completed by ErrorText.
    static void ShowError(const QString &message);
    // A full stop is added when the last character sorts after "." (a letter
    // or a digit, for example); an empty message stays empty.
    static QString ErrorText(const QString &message);

    // Replaces the presenter; an empty function puts back the real dialog.
    // Returns the presenter that was installed.
    static Presenter SetPresenter(Presenter presenter);
};

struct TMessageBoxRequest
{
    QString caption;
    QString text;
    TMessages::Icon icon = TMessages::NoIcon;
    int buttons = TMessages::Ok;
};
