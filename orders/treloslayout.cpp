#include "orders/treloslayout.h"

#include "report/model/treplayout.h"

#include <QtGlobal>

// The resources of a static library are registered by hand, outside any namespace.
static void InitOrdersResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(orders);
        return true;
    }();
    Q_UNUSED(done);
}

QString TRelOSLayout::ResourcePath()
{
    return QStringLiteral(":/orders/relos.json");
}

TRepReport *TRelOSLayout::Load(QObject *parent)
{
    InitOrdersResources();
    return TRepLayout::LoadFromFile(ResourcePath(), parent);
}

QStringList TRelOSLayout::OrderDataTexts()
{
    QStringList names;
    for (int i = 5; i <= 23; ++i)
        names << QStringLiteral("RepDBText%1").arg(i);
    return names;
}
