#pragma once
// "Localizar OS": the box that asks for an order's number or a piece of its
// text, and the small picker listing the orders a text matches (number,
// client, description, date, status; newest first). A number opens the
// order screen on that order at once; choosing in the picker (OK, Enter or
// a double click) does the same for the chosen order, Esc closes it without
// choosing. The question takes only characters the database can hold.
#include "widgets/tpickerform.h"

#include <functional>
#include <memory>
#include <optional>

class TFbQuery;

class TLocalizaOSForm : public TPickerForm
{
    Q_OBJECT
public:
    // Opens the order screen on an order made current (see
    // TOrderSearch::MakeCurrent); main.cpp fills it in.
    using OrderOpener = std::function<void(qint32 idOrdem)>;

    // A picker over `results`, rows of TOrderSearch::TextSql (not owned).
    explicit TLocalizaOSForm(TFbQuery *results, QWidget *parent = nullptr);

    // The key of the order chosen, once chosen.
    std::optional<qint32> Chosen() const { return m_chosen; }

    // The whole use from the main window: refuses at once while an order
    // or client entry is pending elsewhere (with that screen's message),
    // asks for the text, then finds.
    static void Run(QWidget *parent, const OrderOpener &open);
    // What follows the question: a number opens its order or says it does
    // not exist; a text lists its matches in the picker, or says that none
    // does. Returns the order opened, if any.
    static std::optional<qint32> Find(QWidget *parent, const QString &typed, const OrderOpener &open);

    // The question box; tests answer it themselves. Nothing when cancelled.
    static inline std::function<std::optional<QString>(QWidget *parent)> AskText;
    // Shows the picker modally; tests choose in it themselves.
    static inline std::function<void(TLocalizaOSForm &picker)> ExecPicker;

protected:
    void Choose() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    TFbQuery *m_results;
    std::optional<qint32> m_chosen;
};
