// The plain message box, the message box with its own caption, and the
// standard error box with its full-stop rule.
#include "app/tapplication.h"
#include "app/tmessages.h"
#include "data/tfbtransaction.h"
#include "tests/support/tmessagerecorder.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

class TstTMessages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }

    void errorText_data();
    void errorText();
    void showErrorIsCaptionedWithTheTitle();
    void showMessageIsPlain();
    void messageBoxAnswersFromTheQueue();
    void unqueuedYesNoAnswersNo();
    void recorderRestoresThePreviousPresenter();
    void realDialogShowsPlainTextAndReturnsTheButton();
    void standardButtonsArePortuguese();
    void fileDialogFolderIsPortuguese();
    void failureThatCannotBeThrownGoesToTheErrorBox();
    void yesNoCancel_data();
    void yesNoCancel();
};

void TstTMessages::errorText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Update Failed" << "Update Failed.";
    QTest::newRow("digit") << "Erro 42" << "Erro 42.";
    QTest::newRow("full stop kept") << "Arquivo inexistente." << "Arquivo inexistente.";
    QTest::newRow("exclamation sorts before") << "Cuidado!" << "Cuidado!";
    QTest::newRow("closing bracket sorts before") << "valor (x)" << "valor (x)";
    QTest::newRow("question mark sorts after") << "Deseja?" << "Deseja?.";
    QTest::newRow("accented letter") << "Não é válido: ação" << "Não é válido: ação.";
    QTest::newRow("quote sorts before") << "Field 'NOME'" << "Field 'NOME'";
    QTest::newRow("line break last") << "linha\n" << "linha\n";
    QTest::newRow("blank last") << "fim " << "fim ";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("slash sorts after") << "C:/Backup_OS/" << "C:/Backup_OS/.";
}

void TstTMessages::errorText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(TMessages::ErrorText(message), shown);
}

void TstTMessages::showErrorIsCaptionedWithTheTitle()
{
    TMessageRecorder recorder;
    TMessages::ShowError(QStringLiteral("Update Failed"));
    QCOMPARE(recorder.Count(), 1);
    const TMessageBoxRequest box = recorder.Last();
    QCOMPARE(box.caption, QStringLiteral("OS - Tarvo Vodevuru"));
    QCOMPARE(box.text, QStringLiteral("Update Failed."));
    QCOMPARE(box.icon, TMessages::Error);
    QCOMPARE(box.buttons, int(TMessages::Ok));
}

void TstTMessages::showMessageIsPlain()
{
    TMessageRecorder recorder;
    TMessages::ShowMessage(QStringLiteral("Nome do Cliente não pode estar em branco!"));
    QCOMPARE(recorder.Count(), 1);
    QCOMPARE(recorder.Last().caption, QStringLiteral("OS - Tarvo Vodevuru"));
    // The plain message is shown as it is: no full stop added, no icon.
    QCOMPARE(recorder.Last().text, QStringLiteral("Nome do Cliente não pode estar em branco!"));
    QCOMPARE(recorder.Last().icon, TMessages::NoIcon);
    QCOMPARE(recorder.Last().buttons, int(TMessages::Ok));
}

void TstTMessages::messageBoxAnswersFromTheQueue()
{
    TMessageRecorder recorder;
    recorder.QueueAnswer(TMessages::Yes);
    recorder.QueueAnswer(TMessages::No);
    QCOMPARE(TMessages::MessageBox(QStringLiteral("Deseja excluir o cliente?"), QStringLiteral("Atenção"),
                                   TMessages::Warning, TMessages::YesNo),
             int(TMessages::Yes));
    QCOMPARE(TMessages::MessageBox(QStringLiteral("Deseja excluir a OS?"), QStringLiteral("Atenção"),
                                   TMessages::Warning, TMessages::YesNo),
             int(TMessages::No));
    QCOMPARE(recorder.Texts(), QStringList({QStringLiteral("Deseja excluir o cliente?"),
                                            QStringLiteral("Deseja excluir a OS?")}));
    QCOMPARE(recorder.Boxes().at(0).caption, QStringLiteral("Atenção"));
    QCOMPARE(recorder.Boxes().at(0).icon, TMessages::Warning);
    QCOMPARE(recorder.Boxes().at(0).buttons, int(TMessages::YesNo));
}

void TstTMessages::unqueuedYesNoAnswersNo()
{
    TMessageRecorder recorder;
    QCOMPARE(TMessages::MessageBox(QStringLiteral("Deseja excluir?"), QStringLiteral("x"), TMessages::Question,
                                   TMessages::YesNo),
             int(TMessages::No));
    QCOMPARE(TMessages::MessageBox(QStringLiteral("Pronto"), QStringLiteral("x"), TMessages::Information,
                                   TMessages::Ok),
             int(TMessages::Ok));
    // With Cancel among the buttons, Cancel changes nothing.
    QCOMPARE(TMessages::MessageBox(QStringLiteral("Deseja gravar?"), QStringLiteral("x"), TMessages::Question,
                                   TMessages::YesNoCancel),
             int(TMessages::Cancel));
}

void TstTMessages::recorderRestoresThePreviousPresenter()
{
    TMessageRecorder outer;
    {
        TMessageRecorder inner;
        TMessages::ShowMessage(QStringLiteral("dentro"));
        QCOMPARE(inner.Count(), 1);
    }
    TMessages::ShowMessage(QStringLiteral("fora"));
    QCOMPARE(outer.Texts(), QStringList{QStringLiteral("fora")});
}

void TstTMessages::realDialogShowsPlainTextAndReturnsTheButton()
{
    // The real dialog, closed by a timer: it must show the text as given
    // (never as markup), the title as caption, and report the button.
    QString caption, text;
    int textFormat = -1;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        caption = box->windowTitle();
        text = box->text();
        textFormat = box->textFormat();
        box->button(QMessageBox::Yes)->click();
    });
    const int answer = TMessages::MessageBox(QStringLiteral("<b>Deseja</b> excluir?"), QStringLiteral("Excluir"),
                                             TMessages::Warning, TMessages::YesNo);
    QCOMPARE(answer, int(TMessages::Yes));
    QCOMPARE(caption, QStringLiteral("Excluir"));
    QCOMPARE(text, QStringLiteral("<b>Deseja</b> excluir?"));
    QCOMPARE(textFormat, int(Qt::PlainText));
}

// The real box of a Yes/No question, as the start-up configuration leaves
// Qt's own texts.
void TstTMessages::standardButtonsArePortuguese()
{
    QString yes, no, ok;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        yes = box->button(QMessageBox::Yes)->text();
        no = box->button(QMessageBox::No)->text();
        box->button(QMessageBox::No)->click();
    });
    TMessages::MessageBox(QStringLiteral("Deseja excluir?"), QStringLiteral("Excluir"), TMessages::Warning,
                          TMessages::YesNo);
    QCOMPARE(yes, QStringLiteral("&Sim"));
    QCOMPARE(no, QStringLiteral("&Não"));
    QMessageBox plain;
    plain.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(plain.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    QCOMPARE(plain.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancelar"));
}

// The file dialog (backup and restore) listed folders as "Folder": Qt asks
// for the file kinds under a context its Portuguese file lacks.
void TstTMessages::fileDialogFolderIsPortuguese()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Backups")));
    QFileDialog dialog(nullptr, QStringLiteral("Restaurar Backup"), dir.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    const QModelIndex folder = model->index(dir.filePath(QStringLiteral("Backups")));
    QTRY_COMPARE(model->data(folder.siblingAtColumn(2)).toString(), QStringLiteral("Pasta"));
}

// A commit that fails while the connection is being destroyed cannot be
// thrown; it is shown in the standard error box.
void TstTMessages::failureThatCannotBeThrownGoesToTheErrorBox()
{
    TMessageRecorder recorder;
    TFbTransaction::ReportFailure(QStringLiteral("commit recusado"));
    QCOMPARE(recorder.Count(), 1);
    QCOMPARE(recorder.Last().icon, TMessages::Error);
    QCOMPARE(recorder.Last().text, QStringLiteral("commit recusado."));
    QCOMPARE(recorder.Last().caption, TApplication::Title());
}

void TstTMessages::yesNoCancel_data()
{
    QTest::addColumn<int>("press");     // QMessageBox button, 0: the Esc key
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(QMessageBox::Yes) << int(TMessages::Yes);
    QTest::newRow("no") << int(QMessageBox::No) << int(TMessages::No);
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << int(TMessages::Cancel);
    QTest::newRow("escape") << 0 << int(TMessages::Cancel);
}

void TstTMessages::yesNoCancel()
{
    QFETCH(int, press);
    QFETCH(int, answer);
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        buttons = int(box->standardButtons());
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(TMessages::MessageBox(QStringLiteral("Deseja gravar a OS?"), QStringLiteral("Ordem de Serviço"),
                                   TMessages::Question, TMessages::YesNoCancel),
             answer);
    QCOMPARE(buttons, int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
}

QTEST_MAIN(TstTMessages)
#include "tst_tmessages.moc"
