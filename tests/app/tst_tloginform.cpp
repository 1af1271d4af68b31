// The login box of a server database: its fields, the reason of a refusal
// above them, and what it hands back.
#include "app/tapplication.h"
#include "app/tloginform.h"
#include "tests/support/tmessagerecorder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TstTLoginForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void fieldsAndAnswer_data();
    void fieldsAndAnswer();
    void cancelGivesUp();
    void charactersTheDatabaseCannotHoldAreRefused();
};

void TstTLoginForm::fieldsAndAnswer_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("shown");
    QTest::newRow("first time") << QString() << QString()
                                << QStringLiteral("Digite o usuário e a senha do banco de dados no servidor \"balcao/3050\".");
    QTest::newRow("after a refusal") << QStringLiteral("O servidor recusou o usuário \"LOJA\" ou a senha.")
                                     << QStringLiteral("LOJA") << QStringLiteral("O servidor recusou o usuário \"LOJA\" ou a senha.");
}

void TstTLoginForm::fieldsAndAnswer()
{
    QFETCH(QString, message);
    QFETCH(QString, user);
    QFETCH(QString, shown);
    TLoginForm form(QStringLiteral("balcao/3050"), message, {user, QString(), false});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Message->text(), shown);
    // A modal box offers no maximise: its size is fixed.
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.User->text(), user);
    QCOMPARE(form.Password->echoMode(), QLineEdit::Password);
    QCOMPARE(form.Remember->text(), QStringLiteral("Lembrar neste computador"));
    QVERIFY(!form.Remember->isChecked());
    // The field to type in first: the user, or the password when the user is known.
    QCOMPARE(QApplication::focusWidget(), user.isEmpty() ? form.User : form.Password);
    form.User->setText(QStringLiteral("  LOJA "));
    QTest::keyClicks(form.Password, QStringLiteral("Senha-Forte 9"));
    form.Remember->setChecked(true);
    QTest::keyClick(form.Password, Qt::Key_Return);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    const TDatabaseCredentials c = form.Credentials();
    QCOMPARE(c.user, QStringLiteral("LOJA"));
    QCOMPARE(c.password, QStringLiteral("Senha-Forte 9"));
    QVERIFY(c.remember);
}

void TstTLoginForm::cancelGivesUp()
{
    TDatabaseCredentials c{QStringLiteral("LOJA"), QString(), false};
    QTimer::singleShot(0, [] {
        if (auto *form = qobject_cast<TLoginForm *>(QApplication::activeModalWidget()))
            form->CancelButton->click();
    });
    QVERIFY(!TLoginForm::Ask(c, QStringLiteral("balcao"), QString()));
    QCOMPARE(c.user, QStringLiteral("LOJA"));
}

// The login boxes took any character, where every other box of the program
// refuses one the database cannot hold.
void TstTLoginForm::charactersTheDatabaseCannotHoldAreRefused()
{
    TMessageRecorder messages;
    TLoginForm form(QStringLiteral("balcao"), QString(), {QString(), QString(), false});
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (QLineEdit *box : {form.User, form.Password}) {
        messages.Clear();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("Loja"));
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
        QCOMPARE(box->text(), QStringLiteral("Loja"));
        QTRY_COMPARE(messages.Count(), 1);
        QVERIFY2(messages.Last().text.contains(QStringLiteral("中")), qPrintable(messages.Last().text));
        // Portuguese letters are the shop's own.
        for (QChar c : QStringLiteral("ção"))
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(box->text(), QStringLiteral("Lojação"));
    }
}

QTEST_MAIN(TstTLoginForm)
#include "tst_tloginform.moc"
