#include "clients/tclientlegend.h"

#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"

QString TClientLegend::Text(const QString &verde, const QString &azul, const QString &vermelho)
{
    return QStringLiteral("Preto - Sem Anotação") + QLatin1Char('\r')
        + QStringLiteral("Verde - ") + verde + QLatin1Char('\r')
        + QStringLiteral("Azul - ") + azul + QLatin1Char('\r')
        + QStringLiteral("Vermelho - ") + vermelho;
}

QString TClientLegend::Text()
{
    TFbQuery *config = DM ? DM->ConfigQuery : nullptr;
    if (!config || !config->Active() || config->IsEmpty())
        return Text(QString(), QString(), QString());
    return Text(config->FieldByName(QStringLiteral("VERDE"))->AsString(),
                config->FieldByName(QStringLiteral("AZUL"))->AsString(),
                config->FieldByName(QStringLiteral("VERMELHO"))->AsString());
}

void TClientLegend::Show()
{
    TMessages::MessageBox(Text(), Caption(), TMessages::Warning, TMessages::Ok);
}
