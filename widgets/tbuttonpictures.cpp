#include "widgets/tbuttonpictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>
#include <initializer_list>

namespace {

// One light source for every motif: from the top left.
QLinearGradient Shade(QPointF from, QPointF to, QColor light, QColor dark)
{
    QLinearGradient g(from, to);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    return g;
}

// A closed outline through the points, in order.
QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    auto it = points.begin();
    path.moveTo(*it);
    for (++it; it != points.end(); ++it)
        path.lineTo(*it);
    path.closeSubpath();
    return path;
}

// A thick stroke with a darker rim: the rim first, then the body over it.
void RimmedStroke(QPainter &p, const QPainterPath &path, qreal width, QColor body, QColor rim)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(rim, width + 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(body, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void DrawMagnifyingGlass(QPainter &p)
{
    // Handle first, so that the rim covers its end.
    p.setPen(QPen(QColor(70, 45, 25), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.2, 10.2), QPointF(14.2, 14.2));
    p.setPen(QPen(QColor(150, 100, 55), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.6, 10.2), QPointF(13.9, 13.5));

    QRadialGradient lens(QPointF(5.2, 5.0), 6.0);
    lens.setColorAt(0, QColor(245, 251, 255));
    lens.setColorAt(1, QColor(150, 195, 235));
    p.setBrush(lens);
    p.setPen(QPen(QColor(60, 70, 85), 1.6));
    p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
    // Glint on the glass.
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(3.6, 3.6, 5.8, 5.8), 100 * 16, 70 * 16);
}

void DrawInformationSign(QPainter &p)
{
    p.setBrush(Shade({3, 1}, {13, 15}, QColor(100, 165, 245), QColor(20, 80, 180)));
    p.setPen(QPen(QColor(15, 55, 130), 1.0));
    p.drawEllipse(QPointF(8, 8), 7.0, 7.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 4.4), 1.3, 1.3);
    QPainterPath stem = Polygon({{6.3, 6.7}, {9.0, 6.7}, {9.0, 11.4}, {10.0, 11.4}, {10.0, 12.6},
                                 {6.0, 12.6}, {6.0, 11.4}, {7.0, 11.4}, {7.0, 7.9}, {6.3, 7.9}});
    p.drawPath(stem);
}

QPainterPath PlusPath()
{
    QPainterPath plus;
    plus.addPolygon(QPolygonF({{6, 2}, {10, 2}, {10, 6}, {14, 6}, {14, 10}, {10, 10},
                               {10, 14}, {6, 14}, {6, 10}, {2, 10}, {2, 6}, {6, 6}}));
    plus.closeSubpath();
    return plus;
}

void DrawGreenPlus(QPainter &p)
{
    p.setBrush(Shade({2, 2}, {14, 14}, QColor(110, 210, 100), QColor(25, 135, 30)));
    p.setPen(QPen(QColor(15, 90, 20), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(PlusPath());
}

void DrawRedMinus(QPainter &p)
{
    p.setBrush(Shade({2, 6}, {2, 10}, QColor(255, 120, 110), QColor(200, 30, 30)));
    p.setPen(QPen(QColor(135, 15, 15), 1.0));
    p.drawRect(QRectF(2.0, 6.0, 12.0, 4.0));
}

void DrawPencil(QPainter &p)
{
    // Drawn lying along x, then turned to point at the bottom left.
    p.save();
    p.translate(8, 8);
    p.rotate(-45);
    // Body.
    p.setBrush(Shade({0, -2.2}, {0, 2.2}, QColor(255, 215, 90), QColor(215, 150, 20)));
    p.setPen(QPen(QColor(120, 80, 10), 0.8));
    p.drawRect(QRectF(-3.5, -2.2, 8.5, 4.4));
    // Metal band and eraser.
    p.setBrush(QColor(185, 190, 198));
    p.drawRect(QRectF(5.0, -2.2, 1.4, 4.4));
    p.setBrush(QColor(235, 130, 140));
    p.drawRoundedRect(QRectF(6.4, -2.2, 1.8, 4.4), 0.8, 0.8);
    // Sharpened wood and lead.
    QPainterPath wood = Polygon({{-3.5, -2.2}, {-8.0, 0}, {-3.5, 2.2}});
    p.setBrush(QColor(240, 215, 165));
    p.drawPath(wood);
    QPainterPath lead = Polygon({{-6.4, -0.8}, {-8.0, 0}, {-6.4, 0.8}});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(45, 45, 45));
    p.drawPath(lead);
    p.restore();
}

void DrawOpenDoor(QPainter &p)
{
    // Frame with the dark room behind it.
    p.setPen(QPen(QColor(90, 55, 25), 1.0));
    p.setBrush(QColor(40, 40, 48));
    p.drawRect(QRectF(3.5, 1.5, 10.5, 13.5));
    // Floor light falling through the opening.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 225, 140, 170));
    QPainterPath light = Polygon({{8.0, 15.0}, {13.5, 15.0}, {13.5, 11.0}});
    p.drawPath(light);
    // The leaf, swung open towards the viewer on its left hinge.
    QPainterPath leaf = Polygon({{3.5, 1.5}, {9.0, 3.0}, {9.0, 16.0}, {3.5, 15.0}});
    p.setBrush(Shade({3.5, 0}, {9.0, 0}, QColor(215, 150, 80), QColor(165, 100, 40)));
    p.setPen(QPen(QColor(100, 60, 20), 0.9, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(leaf);
    // Knob.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 215, 90));
    p.drawEllipse(QPointF(7.9, 9.4), 0.8, 0.8);
}

void DrawFloppyDisk(QPainter &p)
{
    QPainterPath body = Polygon({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}});
    p.setBrush(Shade({1.5, 1.5}, {14.5, 14.5}, QColor(70, 110, 175), QColor(25, 50, 100)));
    p.setPen(QPen(QColor(15, 30, 65), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(body);
    // Metal shutter with its window.
    p.setPen(Qt::NoPen);
    p.setBrush(Shade({4, 1.5}, {4, 6}, QColor(225, 230, 236), QColor(160, 168, 178)));
    p.drawRect(QRectF(4.0, 2.0, 7.5, 4.2));
    p.setBrush(QColor(30, 45, 75));
    p.drawRect(QRectF(8.6, 2.7, 1.7, 2.8));
    // Label.
    p.setBrush(QColor(248, 248, 244));
    p.drawRect(QRectF(3.5, 8.5, 9.0, 5.5));
    p.setPen(QPen(QColor(150, 160, 180), 0.7));
    p.drawLine(QPointF(4.6, 10.3), QPointF(11.4, 10.3));
    p.drawLine(QPointF(4.6, 12.2), QPointF(11.4, 12.2));
}

void DrawRedCross(QPainter &p)
{
    QPainterPath cross;
    cross.moveTo(3.5, 3.5);
    cross.lineTo(12.5, 12.5);
    cross.moveTo(12.5, 3.5);
    cross.lineTo(3.5, 12.5);
    RimmedStroke(p, cross, 2.8, QColor(225, 40, 35), QColor(130, 15, 15));
}

void DrawGreenTick(QPainter &p)
{
    QPainterPath tick;
    tick.moveTo(2.6, 8.6);
    tick.lineTo(6.3, 12.3);
    tick.lineTo(13.4, 3.6);
    RimmedStroke(p, tick, 2.8, QColor(60, 185, 55), QColor(15, 95, 20));
}

void DrawPrinter(QPainter &p)
{
    // Sheet waiting at the back.
    p.setPen(QPen(QColor(120, 120, 120), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7.0, 5.0));
    // Body.
    p.setBrush(Shade({1.5, 6}, {1.5, 12}, QColor(200, 204, 210), QColor(120, 126, 134)));
    p.setPen(QPen(QColor(60, 64, 70), 1.0));
    p.drawRoundedRect(QRectF(1.5, 6.0, 13.0, 6.0), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 200, 70));
    p.drawEllipse(QPointF(12.3, 8.0), 0.7, 0.7);
    // Printed sheet coming out at the front.
    p.setPen(QPen(QColor(120, 120, 120), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.0, 7.0, 4.5));
    p.setPen(QPen(QColor(90, 120, 190), 0.7));
    p.drawLine(QPointF(5.6, 11.7), QPointF(10.4, 11.7));
    p.drawLine(QPointF(5.6, 13.2), QPointF(9.0, 13.2));
}

// Shopping cart on a 32 x 32 grid, with a round badge carrying the sign.
void DrawCart(QPainter &p, bool plus)
{
    QPainterPath basket = Polygon({{7.0, 9.0}, {27.0, 9.0}, {24.0, 20.0}, {9.5, 20.0}});
    p.setBrush(Shade({7, 9}, {7, 20}, QColor(205, 215, 228), QColor(150, 162, 178)));
    p.setPen(QPen(QColor(55, 60, 70), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(basket);
    // Wire mesh.
    p.setPen(QPen(QColor(95, 105, 120), 0.9));
    for (qreal x : {12.0, 17.0, 22.0})
        p.drawLine(QPointF(x, 9.6), QPointF(x - 0.6, 19.4));
    p.drawLine(QPointF(8.2, 14.5), QPointF(25.5, 14.5));
    // Handle and frame.
    QPainterPath frame;
    frame.moveTo(2.0, 5.0);
    frame.lineTo(5.5, 5.0);
    frame.lineTo(9.5, 23.5);
    frame.lineTo(25.0, 23.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 44, 52), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(frame);
    // Wheels.
    p.setBrush(QColor(35, 35, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(11.5, 27.0), 2.2, 2.2);
    p.drawEllipse(QPointF(22.5, 27.0), 2.2, 2.2);
    // Badge.
    const QColor light = plus ? QColor(110, 210, 100) : QColor(255, 120, 110);
    const QColor dark = plus ? QColor(25, 135, 30) : QColor(200, 30, 30);
    const QColor rim = plus ? QColor(15, 90, 20) : QColor(135, 15, 15);
    p.setBrush(Shade({19, 0}, {31, 12}, light, dark));
    p.setPen(QPen(rim, 1.0));
    p.drawEllipse(QPointF(25.0, 7.0), 6.2, 6.2);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(21.6, 7.0), QPointF(28.4, 7.0));
    if (plus)
        p.drawLine(QPointF(25.0, 3.6), QPointF(25.0, 10.4));
}

} // namespace

int TButtonPictures::NaturalSize(Motif motif)
{
    return (motif == CartPlus || motif == CartMinus) ? 32 : 16;
}

QPixmap TButtonPictures::Pixmap(Motif motif, int size)
{
    // Every screen opened shows a row of buttons: each picture is drawn
    // once and kept (a few kB each) in the application's pixmap cache.
    const QString key = QStringLiteral("TButtonPictures:%1:%2").arg(int(motif)).arg(size);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = Draw(motif, size);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QPixmap TButtonPictures::Draw(Motif motif, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal grid = NaturalSize(motif);
    p.scale(size / grid, size / grid);
    switch (motif) {
    case MagnifyingGlass: DrawMagnifyingGlass(p); break;
    case InformationSign: DrawInformationSign(p); break;
    case GreenPlus: DrawGreenPlus(p); break;
    case Pencil: DrawPencil(p); break;
    case RedMinus: DrawRedMinus(p); break;
    case OpenDoor: DrawOpenDoor(p); break;
    case FloppyDisk: DrawFloppyDisk(p); break;
    case RedCross: DrawRedCross(p); break;
    case GreenTick: DrawGreenTick(p); break;
    case Printer: DrawPrinter(p); break;
    case CartPlus: DrawCart(p, true); break;
    case CartMinus: DrawCart(p, false); break;
    }
    return pixmap;
}

QIcon TButtonPictures::Icon(Motif motif)
{
    const int size = NaturalSize(motif);
    QIcon icon;
    icon.addPixmap(Pixmap(motif, size));
    icon.addPixmap(Pixmap(motif, size * 2));
    return icon;
}
