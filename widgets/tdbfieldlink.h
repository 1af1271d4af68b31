#pragma once
// The tie between one editor and one field of a dataset's current row.
//
// It tells the editor when to show the field again (the current row moved,
// the row set or the row's values changed, the dataset opened or closed),
// puts the dataset into editing when the user starts typing, and writes the
// editor's text into the field.
//
// Editors whose text can be written at every keystroke (plain text) do so at
// once. Others (dates, numbers) hold the typed text as pending until the
// user leaves the editor; before a screen posts or applies the record it
// calls UpdateRecord, which writes every pending editor of that dataset, so
// that what was typed is in the record ("'x' não é uma data válida"
// stops the save there).
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;
class TFbField;
class TFbQuery;

class TDBFieldLink : public QObject
{
    Q_OBJECT
public:
    explicit TDBFieldLink(QWidget *editor);
    ~TDBFieldLink() override;

    void SetField(TFbQuery *query, const QString &fieldName);
    TFbQuery *DataSet() const;
    QString FieldName() const { return m_fieldName; }
    // The field, or null while the dataset is closed or lacks it.
    TFbField *Field() const;

    // Whether the dataset is editing or inserting.
    bool Editing() const;
    // Makes the dataset editable for a keystroke: Edit() when it is browsing.
    // False when it is closed (nothing to write to) or Edit() failed (the
    // error has been shown).
    bool BeginEdit();

    // Writes `text` into the field now; throws what the field throws.
    void Write(const QString &text);

    // Pending text: typed but not yet written.
    bool Pending() const { return m_pending; }
    void SetPending(bool pending) { m_pending = pending; }
    // How the editor writes its pending text (set by the editor).
    void SetFlush(std::function<void()> flush) { m_flush = std::move(flush); }
    // Writes the pending text, if any; throws on a refused text.
    void Flush();

    // Writes the pending text of every editor bound to `query`.
    static void UpdateRecord(TFbQuery *query);

signals:
    // The editor should show the field's value again.
    void Refresh();

private:
    void OnValuesChanged();
    void OnRowSetChanged();

    QWidget *m_editor;
    QPointer<TFbQuery> m_query;
    QString m_fieldName;
    bool m_pending = false;
    bool m_writing = false;
    std::function<void()> m_flush;
    QList<QMetaObject::Connection> m_connections;
};
