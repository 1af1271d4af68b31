#include "orders/tlocalizaosform.h"

#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/tordersearch.h"
#include "widgets/tcharsetvalidator.h"
#include "widgets/tdbgrid.h"
#include "widgets/tsearchsql.h"

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>

namespace {

std::optional<QString> AskWithDialog(QWidget *parent)
{
    // A modal question: nothing to minimise it to, as with every modal box.
    QInputDialog dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                    | Qt::WindowCloseButtonHint);
    dialog.setObjectName(QStringLiteral("LocalizaOSQuestion"));
    dialog.setWindowTitle(QStringLiteral("Localizar OS"));
    dialog.setLabelText(
        QStringLiteral("Número da OS, ou parte da descrição do produto, do solicitante ou do reparo:"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(QString());
    // The text is compared with stored text: a character the database cannot
    // hold is refused as it is typed, as in every other box, instead of
    // turning into "?" and finding something else.
    if (auto *box = dialog.findChild<QLineEdit *>())
        new TCharsetValidator(box);
    // A fixed size: nothing to maximise either (the box's own layout, made
    // when its size is first asked, would let it grow sideways).
    dialog.sizeHint();
    if (QLayout *layout = dialog.layout())
        layout->setSizeConstraint(QLayout::SetFixedSize);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

// The question and the list stand over the window the clerk is in: made
// for the main window, the window manager raised the main window over every
// screen for as long as they were open.
QWidget *Over(QWidget *parent)
{
    QWidget *active = QApplication::activeWindow();
    return active ? active : parent;
}

} // namespace

TLocalizaOSForm::TLocalizaOSForm(TFbQuery *results, QWidget *parent)
    : TPickerForm(results,
                  {{QStringLiteral("NORDEM"), QStringLiteral("Número"), 70},
                   {QStringLiteral("NOME"), QStringLiteral("Cliente"), 190},
                   {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição do Produto"), 230},
                   {QStringLiteral("DATACAD"), QStringLiteral("Data"), 120},
                   {QStringLiteral("SITUACAO"), QStringLiteral("Situação"), 100}},
                  parent)
    , m_results(results)
{
    setObjectName(QStringLiteral("LocalizaOSForm"));
    setWindowTitle(QStringLiteral("Localizar OS"));
    setFixedSize(760, 320);
    DBGrid1->installEventFilter(this);
    for (QObject *child : DBGrid1->findChildren<QWidget *>())
        child->installEventFilter(this);
}

void TLocalizaOSForm::Choose()
{
    if (m_results && m_results->Active() && !m_results->IsEmpty())
        m_chosen = m_results->FieldByName(QStringLiteral("IDORDEM"))->AsInteger();
}

bool TLocalizaOSForm::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the list chooses, as OK does; Esc closes it without choosing,
    // as it closes the question before it.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn1Click();
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return TPickerForm::eventFilter(watched, event);
}

void TLocalizaOSForm::keyPressEvent(QKeyEvent *event)
{
    // Unlike the other pickers, a list of search results is left with Esc.
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    TPickerForm::keyPressEvent(event);
}

void TLocalizaOSForm::Run(QWidget *parent, const OrderOpener &open)
{
    if (!DM)
        return;
    TOrderSearch::CheckNothingHeld(DM);
    QWidget *over = Over(parent);
    const std::optional<QString> typed = AskText ? AskText(over) : AskWithDialog(over);
    if (!typed)
        return;
    Find(over, *typed, open);
}

std::optional<qint32> TLocalizaOSForm::Find(QWidget *parent, const QString &typed, const OrderOpener &open)
{
    if (!DM)
        return std::nullopt;
    if (const std::optional<qint32> number = TOrderSearch::ParseNumber(typed)) {
        TFbQuery aux;
        aux.SetDatabase(DM->Database);
        aux.SetTransaction(DM->Transaction);
        if (!TOrderSearch::ClientOf(&aux, *number)) {
            TMessages::ShowMessage(TOrderSearch::NotFoundMessage(typed));
            return std::nullopt;
        }
        TOrderSearch::CheckNothingHeld(DM);
        if (open)
            open(*number);
        return number;
    }
    // Longer than the longest searched column: nothing can hold it, and
    // the statement would grow past what the database takes.
    if (TSearchSql::PrepareText(typed).size() > TOrderSearch::LongestText) {
        TMessages::ShowMessage(QStringLiteral("Nenhuma OS contém \"%1\".").arg(typed.trimmed()));
        return std::nullopt;
    }
    const QString sql = TOrderSearch::TextSql(typed);
    if (sql.isEmpty()) {
        TMessages::ShowMessage(QStringLiteral("Digite o número da OS ou parte do seu texto."));
        return std::nullopt;
    }
    TFbQuery results;
    results.SetDatabase(DM->Database);
    results.SetTransaction(DM->Transaction);
    results.SetSQL(sql);
    results.Open();
    if (results.IsEmpty()) {
        TMessages::ShowMessage(QStringLiteral("Nenhuma OS contém \"%1\".").arg(typed.trimmed()));
        return std::nullopt;
    }
    TLocalizaOSForm picker(&results, parent);
    if (ExecPicker)
        ExecPicker(picker);
    else
        picker.exec();
    if (!picker.Chosen())
        return std::nullopt;
    TOrderSearch::CheckNothingHeld(DM);
    if (open)
        open(*picker.Chosen());
    return picker.Chosen();
}
