#include "app/tloginform.h"

#include "app/tmessages.h"
#include "data/tdbcharset.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <QVBoxLayout>

namespace {

// The character rule of every box of the program (the screens' boxes get it
// from their shared validator, which the shell cannot reach): a typed or
// pasted character the database cannot hold is refused with a message, not
// sent on as something else.
class TLoginTextValidator : public QValidator
{
public:
    explicit TLoginTextValidator(QLineEdit *box)
        : QValidator(box)
        , m_box(box)
    {
        box->setValidator(this);
    }

    State validate(QString &input, int &) const override
    {
        const qsizetype at = TDbCharset::FirstRefused(input);
        if (at < 0)
            return Acceptable;
        if (m_box->hasFocus()) {
            QApplication::beep();
            const QString message = TDbCharset::RefusedMessage(input, at);
            QTimer::singleShot(0, m_box, [message] { TMessages::ShowMessage(message); });
        }
        return Invalid;
    }

private:
    QLineEdit *m_box;
};

} // namespace

TLoginForm::TLoginForm(const QString &server, const QString &message, const TDatabaseCredentials &credentials,
                       QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("LoginForm"));
    setWindowTitle(QStringLiteral("Entrar no servidor %1").arg(server));
    auto *layout = new QVBoxLayout(this);
    Message = new QLabel(message.isEmpty()
                             ? QStringLiteral("Digite o usuário e a senha do banco de dados no servidor \"%1\".").arg(server)
                             : message,
                         this);
    Message->setObjectName(QStringLiteral("Message"));
    Message->setWordWrap(true);
    if (!message.isEmpty()) {
        QPalette p = Message->palette();
        p.setColor(QPalette::WindowText, QColor(192, 0, 0));
        Message->setPalette(p);
    }
    layout->addWidget(Message);
    auto *form = new QFormLayout;
    User = new QLineEdit(credentials.user, this);
    User->setObjectName(QStringLiteral("User"));
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    new TLoginTextValidator(User);
    new TLoginTextValidator(Password);
    form->addRow(QStringLiteral("Usuário"), User);
    form->addRow(QStringLiteral("Senha"), Password);
    layout->addLayout(form);
    Remember = new QCheckBox(QStringLiteral("Lembrar neste computador"), this);
    Remember->setObjectName(QStringLiteral("Remember"));
    Remember->setChecked(credentials.remember);
    layout->addWidget(Remember);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    OkButton = new QPushButton(QStringLiteral("Entrar"), this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancelar"), this);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    // A modal box of a fixed size: the window manager offers no maximise.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    if (credentials.user.isEmpty())
        User->setFocus();
    else
        Password->setFocus();
}

TDatabaseCredentials TLoginForm::Credentials() const
{
    return {User->text().trimmed(), Password->text(), Remember->isChecked()};
}

bool TLoginForm::Ask(TDatabaseCredentials &credentials, const QString &server, const QString &message)
{
    TLoginForm form(server, message, credentials);
    if (form.exec() != QDialog::Accepted)
        return false;
    credentials = form.Credentials();
    return true;
}
