#pragma once

#include <QString>
#include <QStringList>

class QObject;
class TRepReport;

// The service order printout's layout, kept as a stored report layout in the
// resources (relos.json): page setup, the title, detail and page footer
// bands and their elements.
class TRelOSLayout
{
public:
    static QString ResourcePath();

    // Builds the printout's report, Report1, owned by parent. Its data texts
    // name their data sources FbQuery1 (client), FbQuery2 (order) and
    // FbQuery3 (settings); bind them with TRepReport::BindDataSet.
    static TRepReport *Load(QObject *parent = nullptr);

    // The order data texts, RepDBText5 to RepDBText23: switched off for the
    // blank form, on for a printed order.
    static QStringList OrderDataTexts();
};
