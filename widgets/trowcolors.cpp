#include "widgets/trowcolors.h"

#include <QApplication>
#include <QPalette>

std::optional<QColor> TRowColors::Annotation(std::optional<int> tipoAnot)
{
    if (!tipoAnot)
        return std::nullopt;
    switch (*tipoAnot) {
    case 1: return QColor(0, 0, 0);
    case 2: return QColor(0, 128, 0);
    case 3: return QColor(0, 0, 255);
    case 4: return QColor(255, 0, 0);
    default: return std::nullopt;
    }
}

std::optional<QColor> TRowColors::Status(const QString &situacao)
{
    if (situacao == QStringLiteral("Não Atendido"))
        return QColor(255, 0, 0);
    if (situacao == QStringLiteral("Em Andamento"))
        return QColor(0, 128, 0);
    if (situacao == QStringLiteral("Concluído"))
        return QColor(128, 128, 128);
    return std::nullopt;
}

QColor TRowColors::Stock(qint32 qtdeDisp, qint32 qtdeMin)
{
    return qtdeDisp < qtdeMin ? QColor(255, 0, 0) : Navy();
}

std::optional<QColor> TRowColors::Movement(const QString &tipo)
{
    if (tipo == QLatin1String("entrada"))
        return QColor(0, 0, 255);
    if (tipo == QLatin1String("saida"))
        return QColor(255, 0, 0);
    return std::nullopt;
}

QColor TRowColors::MenuHighlight()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}
