#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// Resident memory of this process in kB (0 where /proc is not there).
inline long RssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}
