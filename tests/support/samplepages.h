#pragma once

#include <QByteArray>
#include <QList>

// Recorded pages shaped like the service order printout (A4 Plus at 96
// pixels per inch): header lines, framed boxes, labels and filled-in values.
QByteArray SampleOrderPage(int n);
QList<QByteArray> SampleOrderPages(int count);
