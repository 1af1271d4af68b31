#pragma once
// A multi-line editor bound to a text field of a dataset's current row. It
// accepts any length; the field keeps the first characters that fit its
// size. Lines are stored with CR LF breaks, as the desktop stores them.
#include <QPlainTextEdit>

class TDBFieldLink;
class TFbQuery;

class TDBMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TDBMemo(QWidget *parent = nullptr);
    TDBMemo(const QString &objectName, TFbQuery *query, const QString &fieldName,
            QWidget *parent = nullptr);

    void SetField(TFbQuery *query, const QString &fieldName);
    TDBFieldLink *Link() const { return m_link; }

private:
    void ShowField();
    void OnTextChanged();

    TDBFieldLink *m_link;
    bool m_showing = false;
};
