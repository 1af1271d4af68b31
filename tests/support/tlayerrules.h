#pragma once
// The include rules of the tree (cmake/layers.rules): which folder's sources
// may include which headers. Parsed apart from the walk over the tree so that
// the rules themselves are tested on made-up cases.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class TLayerRules
{
public:
    // Reads the rules; a line it cannot read is named in *error and the
    // result is empty.
    static TLayerRules Parse(const QString &text, QString *error);

    // Whether a file in `folder` (relative to the top, "." for the top) may
    // include `header` (a path from the top). Explains a refusal in *why.
    bool Allows(const QString &folder, const QString &header, QString *why = nullptr) const;
    bool Knows(const QString &folder) const { return m_rules.contains(folder); }
    bool IsEmpty() const { return m_rules.isEmpty(); }

    // Every refusal in the tree at `root`: "file: includes header (reason)".
    // Quoted includes must name an existing header by its path from the top.
    QStringList Check(const QString &root) const;

private:
    static QString FolderOf(const QString &path);

    struct Rule
    {
        QStringList folders;   // exact folders
        QStringList trees;     // folders with everything below them
        QStringList headers;   // single headers
        bool anything = false;
    };
    QHash<QString, Rule> m_rules;
};
