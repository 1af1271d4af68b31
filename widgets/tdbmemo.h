#pragma once
// A multi-line editor bound to a text field of a dataset's current row. It
// accepts any length; the field keeps the first characters that fit its
// size. Lines are stored with CR LF breaks, as the desktop stores them.
// A typed or pasted character the database cannot hold (line breaks and tabs
// it can) is refused with a beep and a message, and the text stays as it was.
#include "widgets/tdbcontrol.h"

#include <QPlainTextEdit>

class QMimeData;
class TFbQuery;

class TDBMemo : public TDBControl<QPlainTextEdit>
{
    Q_OBJECT
public:
    explicit TDBMemo(QWidget *parent = nullptr);
    TDBMemo(const QString &objectName, TFbQuery *query, const QString &fieldName,
            QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void ShowField();
    void OnTextChanged();
};
