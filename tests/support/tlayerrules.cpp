#include "tests/support/tlayerrules.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

TLayerRules TLayerRules::Parse(const QString &text, QString *error)
{
    TLayerRules rules;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].section(u'#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(u':');
        const QString folder = line.left(colon).trimmed();
        if (colon < 0 || folder.isEmpty() || folder.contains(u' ')) {
            if (error)
                *error = QStringLiteral("line %1: expected \"folder: what it may include\"").arg(i + 1);
            return {};
        }
        if (rules.m_rules.contains(folder)) {
            if (error)
                *error = QStringLiteral("line %1: a second rule for %2").arg(i + 1).arg(folder);
            return {};
        }
        Rule rule;
        for (const QString &item : line.mid(colon + 1).split(u' ', Qt::SkipEmptyParts)) {
            if (item == u"*")
                rule.anything = true;
            else if (item.endsWith(u"/*"))
                rule.trees << item.chopped(2);
            else if (item.endsWith(u".h"))
                rule.headers << item;
            else
                rule.folders << item;
        }
        rules.m_rules.insert(folder, rule);
    }
    return rules;
}

QString TLayerRules::FolderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral(".") : path.left(slash);
}

bool TLayerRules::Allows(const QString &folder, const QString &header, QString *why) const
{
    const QString target = FolderOf(header);
    const auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (header.endsWith(u"_p.h") && target != folder && !folder.startsWith(u"tests/"))
        return refuse(QStringLiteral("private to %1").arg(target));
    if (target == folder)
        return true;
    // A rule for a folder covers the folders below it that have none.
    QString ruled = folder;
    while (!m_rules.contains(ruled)) {
        const qsizetype slash = ruled.lastIndexOf(u'/');
        if (slash < 0)
            return refuse(QStringLiteral("no rule for %1 in cmake/layers.rules").arg(folder));
        ruled.truncate(slash);
    }
    const Rule &rule = m_rules[ruled];
    if (rule.anything || rule.folders.contains(target) || rule.headers.contains(header))
        return true;
    for (const QString &tree : rule.trees) {
        if (target == tree || target.startsWith(tree + u'/'))
            return true;
    }
    return refuse(QStringLiteral("%1 may not include %2").arg(folder, target));
}

QStringList TLayerRules::Check(const QString &root) const
{
    static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s*"([^"]+)")re"),
                                            QRegularExpression::MultilineOption);
    QStringList refusals;
    QDirIterator it(root, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        // Build trees and the repository's own folders are not sources.
        if (relative.startsWith(u"build") || relative.startsWith(u'.') || relative.contains(u"/."))
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            refusals << relative + QStringLiteral(": cannot be read");
            continue;
        }
        const QString text = QString::fromUtf8(file.readAll());
        const QString folder = FolderOf(relative);
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const QString header = m.next().captured(1);
            if (header.endsWith(u".moc"))
                continue;   // made by the build for a test's own classes
            if (!QFileInfo::exists(root + u'/' + header)) {
                refusals << QStringLiteral("%1: includes %2 (not a path from the top of the tree)")
                                .arg(relative, header);
                continue;
            }
            QString why;
            if (!Allows(folder, header, &why))
                refusals << QStringLiteral("%1: includes %2 (%3)").arg(relative, header, why);
        }
    }
    refusals.sort();
    return refusals;
}
