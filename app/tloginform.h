#pragma once
// The login box of a server database: "Usuário", "Senha" and "Lembrar neste
// computador", with the reason of a refusal above the fields.
#include "app/tdatabaselogin.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TLoginForm : public QDialog
{
    Q_OBJECT
public:
    TLoginForm(const QString &server, const QString &message, const TDatabaseCredentials &credentials,
               QWidget *parent = nullptr);

    TDatabaseCredentials Credentials() const;

    // The asker of TDatabaseLogin that shows this box.
    static bool Ask(TDatabaseCredentials &credentials, const QString &server, const QString &message);

    QLabel *Message = nullptr;
    QLineEdit *User = nullptr, *Password = nullptr;
    QCheckBox *Remember = nullptr;
    QPushButton *OkButton = nullptr, *CancelButton = nullptr;
};
