#pragma once
// A multi-line editor bound to a text field of a dataset's current row. It
// accepts any length; the field keeps the first characters that fit its
// size. Lines are stored with CR LF breaks, as the desktop stores them.
#include "widgets/tdbcontrol.h"

#include <QPlainTextEdit>

class TFbQuery;

class TDBMemo : public TDBControl<QPlainTextEdit>
{
    Q_OBJECT
public:
    explicit TDBMemo(QWidget *parent = nullptr);
    TDBMemo(const QString &objectName, TFbQuery *query, const QString &fieldName,
            QWidget *parent = nullptr);

private:
    void ShowField();
    void OnTextChanged();
};
