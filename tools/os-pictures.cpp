// os-pictures OUTDIR: draws the main window's pictures and saves them as
// JPEG files: the blue background (1024 x 768) and, for each of the five
// picture buttons, a normal picture (grey) and a hover picture (light blue),
// 65 x 65 each. The files in app/pictures/ were made with it; run it again
// after changing a drawing and commit what it writes.
//
// os-pictures --icons OUTDIR: draws the program's icon for the desktop menu
// as ordemservico-N.png at the usual sizes and, when built with Qt SVG, as
// ordemservico.svg. The files in packaging/icons/ were made with it.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>
#include <QtMath>

#include <functional>

#ifdef OS_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace {

constexpr int IconSize = 65;

// Colours shared by every icon so that the five read as one set.
const QColor Ink(0x1d, 0x35, 0x57);          // labels and outlines
const QColor InkHover(0x0b, 0x3a, 0x75);
const QColor Blue(0x2f, 0x6d, 0xb5);
const QColor BlueLight(0x6f, 0xa3, 0xdc);
const QColor Orange(0xe0, 0x84, 0x2c);
const QColor OrangeDark(0xa8, 0x5a, 0x14);
const QColor Red(0xd2, 0x3a, 0x2f);
const QColor Green(0x3f, 0x9a, 0x4a);
const QColor Steel(0x59, 0x63, 0x6e);
const QColor Cardboard(0xcf, 0x9e, 0x62);
const QColor CardboardDark(0x9c, 0x6c, 0x36);

void Shadow(QPainter &p, const QPointF &centre, qreal rx, qreal ry)
{
    QRadialGradient g(centre, rx);
    g.setColorAt(0, QColor(0, 0, 0, 70));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.translate(centre);
    p.scale(1.0, ry / rx);
    p.translate(-centre);
    p.drawEllipse(centre, rx, rx);
    p.restore();
}

void Person(QPainter &p, const QPointF &head, qreal r, const QColor &colour)
{
    QLinearGradient g(head.x(), head.y() - r, head.x(), head.y() + 4 * r);
    g.setColorAt(0, colour.lighter(125));
    g.setColorAt(1, colour.darker(115));
    p.setBrush(g);
    p.setPen(QPen(Qt::white, 1.2));
    // Shoulders: a rounded dome below the head.
    const qreal w = r * 2.9;
    const qreal top = head.y() + r * 1.25;
    const qreal bottom = head.y() + r * 3.55;
    QPainterPath body;
    body.moveTo(head.x() - w / 2, bottom);
    body.lineTo(head.x() - w / 2, top + r * 1.1);
    body.quadTo(head.x() - w / 2, top, head.x() - w / 2 + r * 1.1, top);
    body.lineTo(head.x() + w / 2 - r * 1.1, top);
    body.quadTo(head.x() + w / 2, top, head.x() + w / 2, top + r * 1.1);
    body.lineTo(head.x() + w / 2, bottom);
    body.closeSubpath();
    p.drawPath(body);
    p.drawEllipse(head, r, r);
}

void DrawClients(QPainter &p)
{
    Shadow(p, QPointF(32.5, 45.5), 22, 3);
    Person(p, QPointF(40.5, 14.5), 6.2, BlueLight);
    Person(p, QPointF(25.5, 17.5), 7.2, Blue);
}

void DrawLorry(QPainter &p)
{
    Shadow(p, QPointF(32.5, 44.5), 26, 3);
    p.setPen(QPen(OrangeDark, 1));
    // Cargo box.
    QLinearGradient box(0, 12, 0, 36);
    box.setColorAt(0, Orange.lighter(118));
    box.setColorAt(1, Orange);
    p.setBrush(box);
    p.drawRoundedRect(QRectF(5.5, 12.5, 34, 24), 2, 2);
    p.setPen(QPen(OrangeDark.lighter(120), 0.8));
    for (qreal x = 14.5; x < 39; x += 8.5)
        p.drawLine(QPointF(x, 14.5), QPointF(x, 34.5));
    // Cab.
    QPainterPath cab;
    cab.moveTo(41.5, 36.5);
    cab.lineTo(41.5, 19.5);
    cab.lineTo(51.5, 19.5);
    cab.quadTo(54.5, 19.5, 56, 24);
    cab.lineTo(59.5, 29);
    cab.lineTo(59.5, 36.5);
    cab.closeSubpath();
    QLinearGradient cabFill(0, 19, 0, 36);
    cabFill.setColorAt(0, Blue.lighter(120));
    cabFill.setColorAt(1, Blue.darker(110));
    p.setBrush(cabFill);
    p.setPen(QPen(Ink, 1));
    p.drawPath(cab);
    QPainterPath window;
    window.moveTo(44.5, 22.5);
    window.lineTo(51, 22.5);
    window.quadTo(53, 22.5, 54, 25);
    window.lineTo(55.5, 28.5);
    window.lineTo(44.5, 28.5);
    window.closeSubpath();
    p.setBrush(QColor(0xd8, 0xec, 0xfb));
    p.setPen(Qt::NoPen);
    p.drawPath(window);
    // Chassis and bumper.
    p.setBrush(Steel);
    p.drawRect(QRectF(4.5, 36, 56, 3));
    p.setBrush(QColor(0xff, 0xd3, 0x5c));
    p.drawRect(QRectF(57.5, 31, 2.5, 2.5));
    // Wheels.
    for (qreal x : {15.0, 48.0}) {
        p.setBrush(QColor(0x2b, 0x2f, 0x35));
        p.setPen(QPen(Qt::white, 1));
        p.drawEllipse(QPointF(x, 40), 5.2, 5.2);
        p.setBrush(QColor(0xc5, 0xcb, 0xd3));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(x, 40), 2.2, 2.2);
    }
}

void DrawBarrier(QPainter &p)
{
    Shadow(p, QPointF(32.5, 45.5), 26, 3);
    // Legs and feet.
    p.setPen(Qt::NoPen);
    p.setBrush(Steel);
    for (qreal x : {14.0, 48.0}) {
        p.drawRect(QRectF(x - 1.6, 28, 3.2, 16));
        p.drawRoundedRect(QRectF(x - 6, 43, 12, 3), 1.2, 1.2);
    }
    // The striped board.
    const QRectF board(4.5, 18.5, 56, 11);
    QPainterPath boardPath;
    boardPath.addRoundedRect(board, 2, 2);
    p.save();
    p.setClipPath(boardPath);
    p.fillRect(board, Qt::white);
    p.setBrush(Red);
    for (qreal x = -8; x < 66; x += 11) {
        QPolygonF stripe;
        stripe << QPointF(x, 30) << QPointF(x + 5.5, 30) << QPointF(x + 16.5, 18) << QPointF(x + 11, 18);
        p.drawPolygon(stripe);
    }
    QLinearGradient gloss(0, 18, 0, 30);
    gloss.setColorAt(0, QColor(255, 255, 255, 90));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 0));
    gloss.setColorAt(1, QColor(0, 0, 0, 40));
    p.fillRect(board, gloss);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Ink, 1));
    p.drawPath(boardPath);
    // Warning lamp with its glow.
    QRadialGradient glow(QPointF(32.5, 12), 9);
    glow.setColorAt(0, QColor(255, 196, 40, 170));
    glow.setColorAt(1, QColor(255, 196, 40, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(32.5, 12), 9, 9);
    p.setBrush(Steel);
    p.drawRect(QRectF(31, 14, 3, 5));
    QRadialGradient lamp(QPointF(31.5, 10.5), 4.5);
    lamp.setColorAt(0, QColor(0xff, 0xf0, 0xa8));
    lamp.setColorAt(1, QColor(0xf5, 0xa6, 0x12));
    p.setBrush(lamp);
    p.setPen(QPen(OrangeDark, 0.8));
    p.drawEllipse(QPointF(32.5, 12), 3.8, 3.8);
}

void Box(QPainter &p, const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, Cardboard.lighter(112));
    g.setColorAt(1, Cardboard.darker(105));
    p.setBrush(g);
    p.setPen(QPen(CardboardDark, 1));
    p.drawRoundedRect(r, 1.2, 1.2);
    // Tape across the lid and a label.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xc8, 0x94));
    p.drawRect(QRectF(r.center().x() - 2, r.top() + 0.5, 4, r.height() * 0.45));
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawRect(QRectF(r.left() + 3, r.bottom() - 6.5, r.width() * 0.38, 4));
    p.setPen(QPen(CardboardDark, 0.8));
    p.drawLine(QPointF(r.left() + 0.5, r.top() + r.height() * 0.45), QPointF(r.right() - 0.5, r.top() + r.height() * 0.45));
}

void DrawBoxes(QPainter &p)
{
    Shadow(p, QPointF(32.5, 45.5), 26, 3);
    Box(p, QRectF(8.5, 26.5, 23, 18));
    Box(p, QRectF(33.5, 26.5, 23, 18));
    Box(p, QRectF(21, 7.5, 23, 18));
}

void DrawChart(QPainter &p)
{
    // Grid lines, bars, axes, trend arrow.
    p.setPen(QPen(QColor(0, 0, 0, 35), 0.8, Qt::DotLine));
    for (qreal y = 15.5; y < 43; y += 7)
        p.drawLine(QPointF(11, y), QPointF(58, y));
    const QColor colours[4] = {Blue, Green, Orange, Red};
    const qreal heights[4] = {12, 20, 16, 27};
    for (int i = 0; i < 4; ++i) {
        const QRectF bar(14.5 + i * 11, 43.5 - heights[i], 8, heights[i]);
        QLinearGradient g(bar.topLeft(), bar.topRight());
        g.setColorAt(0, colours[i].lighter(130));
        g.setColorAt(1, colours[i].darker(110));
        p.setBrush(g);
        p.setPen(QPen(colours[i].darker(140), 0.8));
        p.drawRect(bar);
    }
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF() << QPointF(10.5, 7) << QPointF(10.5, 44) << QPointF(59, 44));
    QPen trend(Ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(trend);
    p.drawPolyline(QPolygonF() << QPointF(16, 27) << QPointF(28, 19) << QPointF(38, 23) << QPointF(52, 9));
    p.setBrush(Ink);
    QPolygonF head;
    head << QPointF(55.5, 6) << QPointF(48.5, 8) << QPointF(53.5, 12.5);
    p.drawPolygon(head);
}

// One label size for the whole set: the largest at which every label fits.
QFont LabelFont(const QStringList &labels)
{
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setBold(true);
    font.setPixelSize(10);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
    auto widest = [&] {
        qreal most = 0;
        for (const QString &label : labels)
            most = qMax(most, QFontMetricsF(font).horizontalAdvance(label));
        return most;
    };
    while (widest() > IconSize - 6 && font.pixelSize() > 7)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

QImage Icon(const QString &label, const QFont &font, const std::function<void(QPainter &)> &draw, bool hover)
{
    QImage image(IconSize, IconSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient background(0, 0, 0, IconSize);
    if (hover) {
        background.setColorAt(0, QColor(0xf0, 0xf8, 0xff));
        background.setColorAt(1, QColor(0xb3, 0xd7, 0xf7));
    } else {
        background.setColorAt(0, QColor(0xf2, 0xf3, 0xf5));
        background.setColorAt(1, QColor(0xcc, 0xd0, 0xd5));
    }
    p.fillRect(image.rect(), background);
    p.setPen(QPen(hover ? QColor(0x4f, 0x93, 0xd6) : QColor(0xa9, 0xaf, 0xb7), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, IconSize - 1, IconSize - 1));
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.drawLine(QPointF(1.5, 1.5), QPointF(IconSize - 2, 1.5));

    draw(p);

    p.setFont(font);
    p.setPen(hover ? InkHover : Ink);
    p.drawText(QRectF(0, 49, IconSize, 13), Qt::AlignHCenter | Qt::AlignVCenter, label);
    p.end();
    return image;
}

QImage Background()
{
    const int w = 1024, h = 768;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient base(0, 0, w, h);
    base.setColorAt(0.0, QColor(0x06, 0x1c, 0x45));
    base.setColorAt(0.45, QColor(0x0d, 0x3f, 0x8a));
    base.setColorAt(1.0, QColor(0x1b, 0x6c, 0xc4));
    p.fillRect(image.rect(), base);

    QRadialGradient light(QPointF(w * 0.72, h * 0.30), w * 0.6);
    light.setColorAt(0, QColor(0x6c, 0xb6, 0xff, 110));
    light.setColorAt(1, QColor(0x6c, 0xb6, 0xff, 0));
    p.fillRect(image.rect(), light);

    // Flowing bands of light.
    QRandomGenerator rng(20251208);
    for (int band = 0; band < 7; ++band) {
        // Each band bends a little differently, so that they cross and fan
        // out instead of running side by side.
        const qreal y0 = h * (0.30 + band * 0.075);
        const qreal amp = 50 + band * 18 + rng.bounded(30);
        const qreal thick = 26 + band * 10;
        const qreal c1 = w * (0.18 + rng.bounded(12) / 100.0);
        const qreal c2 = w * (0.52 + rng.bounded(14) / 100.0);
        const qreal end = y0 - amp * (0.3 + band * 0.12);
        QPainterPath path;
        path.moveTo(-50, y0);
        path.cubicTo(c1, y0 - amp, c2, y0 + amp * 1.2, w + 50, end);
        path.lineTo(w + 50, end + thick);
        path.cubicTo(c2, y0 + amp * 1.2 + thick, c1, y0 - amp + thick * 0.6, -50, y0 + thick * 0.4);
        path.closeSubpath();
        QLinearGradient fill(0, y0 - amp, 0, y0 + amp + thick);
        const int alpha = 18 + band * 3;
        fill.setColorAt(0, QColor(0x9f, 0xd4, 0xff, 0));
        fill.setColorAt(0.5, QColor(0x9f, 0xd4, 0xff, alpha));
        fill.setColorAt(1, QColor(0x9f, 0xd4, 0xff, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(path);

        QPainterPath line;
        line.moveTo(-50, y0 + thick * 0.2);
        line.cubicTo(c1, y0 - amp + thick * 0.3, c2, y0 + amp * 1.2 + thick * 0.5, w + 50, end + thick * 0.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0xcf, 0xea, 0xff, 40 + band * 6), 1.2));
        p.drawPath(line);
    }

    // Soft points of light.
    for (int i = 0; i < 46; ++i) {
        const QPointF c(rng.bounded(w), rng.bounded(h));
        const qreal r = 6 + rng.bounded(38);
        const int a = 10 + rng.bounded(34);
        QRadialGradient dot(c, r);
        dot.setColorAt(0, QColor(0xd6, 0xee, 0xff, a));
        dot.setColorAt(0.7, QColor(0xd6, 0xee, 0xff, a / 3));
        dot.setColorAt(1, QColor(0xd6, 0xee, 0xff, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        p.drawEllipse(c, r, r);
    }

    // Darker corners keep the eye in the middle.
    QRadialGradient vignette(QPointF(w / 2.0, h / 2.0), w * 0.75);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1, QColor(0, 0x08, 0x20, 120));
    p.fillRect(image.rect(), vignette);
    p.end();
    return image;
}

bool Save(const QImage &image, const QString &path, QTextStream &err)
{
    if (!image.save(path, "JPEG", 92)) {
        err << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

// The program's icon, drawn in a 256 x 256 space: a service order sheet on
// a blue tile, with a wrench across its corner.
constexpr int AppIconSpace = 256;

void DrawAppIcon(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // The tile.
    const QRectF tile(8, 8, 240, 240);
    QLinearGradient tileFill(0, 8, 0, 248);
    tileFill.setColorAt(0, BlueLight);
    tileFill.setColorAt(1, QColor(0x0d, 0x3f, 0x8a));
    p.setPen(QPen(QColor(0x0b, 0x2e, 0x66), 4));
    p.setBrush(tileFill);
    p.drawRoundedRect(tile.adjusted(2, 2, -2, -2), 44, 44);

    // The sheet with its folded corner.
    const qreal left = 52, top = 34, right = 190, bottom = 214, fold = 34;
    QPainterPath sheet;
    sheet.moveTo(left, top);
    sheet.lineTo(right - fold, top);
    sheet.lineTo(right, top + fold);
    sheet.lineTo(right, bottom);
    sheet.lineTo(left, bottom);
    sheet.closeSubpath();
    p.setPen(QPen(Ink, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    corner.closeSubpath();
    p.setBrush(QColor(0xcc, 0xd0, 0xd5));
    p.drawPath(corner);
    // Its header band and the lines of the order.
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawRect(QRectF(left + 16, top + 20, 74, 18));
    p.setBrush(QColor(0x9a, 0xa4, 0xaf));
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(left + 16, top + 58 + i * 22, i % 2 ? 72 : 104, 9));

    // The wrench: a handle and an open jaw, turned across the corner.
    p.save();
    p.translate(170, 170);
    p.rotate(-45);
    QPainterPath wrench;
    wrench.addRoundedRect(QRectF(-15, -6, 30, 92), 15, 15);
    QPainterPath head;
    head.addEllipse(QPointF(0, -22), 38, 38);
    wrench = wrench.united(head);
    QPainterPath jaw;
    jaw.addRect(QRectF(-13, -70, 26, 50));
    wrench = wrench.subtracted(jaw);
    QLinearGradient steel(-38, 0, 38, 0);
    steel.setColorAt(0, Orange);
    steel.setColorAt(1, OrangeDark);
    p.setPen(QPen(QColor(0x5a, 0x2c, 0x06), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(steel);
    p.drawPath(wrench);
    p.restore();
}

// Writes the icon at the usual sizes of an icon theme, and as SVG when it can.
bool SaveAppIcons(const QDir &out, QTextStream &err)
{
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.scale(qreal(size) / AppIconSpace, qreal(size) / AppIconSpace);
        DrawAppIcon(p);
        p.end();
        const QString path = out.filePath(QStringLiteral("ordemservico-%1.png").arg(size));
        if (!image.save(path, "PNG")) {
            err << "cannot write " << path << "\n";
            ok = false;
        }
    }
#ifdef OS_HAVE_SVG
    const QString path = out.filePath(QStringLiteral("ordemservico.svg"));
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(AppIconSpace, AppIconSpace));
    svg.setViewBox(QRect(0, 0, AppIconSpace, AppIconSpace));
    svg.setTitle(QStringLiteral("Ordem de Serviço"));
    QPainter p;
    if (!p.begin(&svg)) {
        err << "cannot write " << path << "\n";
        return false;
    }
    DrawAppIcon(p);
    p.end();
#endif
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const bool appIcon = argc == 3 && QByteArray(argv[1]) == "--icons";
    if (argc != 2 && !appIcon) {
        err << "usage: os-pictures OUTDIR\n"
               "       os-pictures --icons OUTDIR\n";
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[argc - 1]));
    if (!out.mkpath(QStringLiteral("."))) {
        err << "cannot create " << out.path() << "\n";
        return 1;
    }
    if (appIcon)
        return SaveAppIcons(out, err) ? 0 : 1;

    struct IconSpec {
        const char *file;
        QString label;
        std::function<void(QPainter &)> draw;
    };
    const IconSpec icons[] = {
        {"clientes", QStringLiteral("CLIENTES"), DrawClients},
        {"fornecedor", QStringLiteral("FORNECEDOR"), DrawLorry},
        {"os", QStringLiteral("O.S."), DrawBarrier},
        {"estoque", QStringLiteral("ESTOQUE"), DrawBoxes},
        {"relatorios", QStringLiteral("RELATÓRIOS"), DrawChart},
    };
    QStringList labels;
    for (const IconSpec &icon : icons)
        labels << icon.label;
    const QFont font = LabelFont(labels);
    bool ok = Save(Background(), out.filePath(QStringLiteral("fundo.jpg")), err);
    for (const IconSpec &icon : icons) {
        const QString name = QString::fromLatin1(icon.file);
        ok = Save(Icon(icon.label, font, icon.draw, false), out.filePath(name + QStringLiteral(".jpg")), err) && ok;
        ok = Save(Icon(icon.label, font, icon.draw, true), out.filePath(name + QStringLiteral("-sel.jpg")), err) && ok;
    }
    return ok ? 0 : 1;
}
