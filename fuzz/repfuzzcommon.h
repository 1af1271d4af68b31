#pragma once

// What both fuzz targets do with what they got: every page they can read
// is listed for text and drawn, stretched, onto a small image.

#include "report/model/ereperror.h"
#include "report/page/trepmetafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

inline void FuzzStartQt()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's warnings about odd fonts and sizes would only slow the run down.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    Q_UNUSED(app);
}

inline void FuzzUsePage(const TRepMetafile &page)
{
    volatile qsizetype chars = 0;
    for (const QString &t : page.TextRecords())
        chars = chars + t.size();
    static QImage image(48, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    page.Draw(p, QRectF(0, 0, 48, 64));
}
