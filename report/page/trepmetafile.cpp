#include "report/page/trepmetafile.h"

#include "report/page/trepemfplayer.h"
#include "report/page/treppaintercanvas.h"

#include <QPainter>

TRepMetafile TRepMetafile::FromBytes(const QByteArray &bytes)
{
    TRepMetafile m;
    TRepEmfPlayer::Parse(bytes, m);
    return m;
}

void TRepMetafile::Play(TRepCanvas &canvas) const
{
    TRepEmfPlayer(*this).Play(canvas);
}

void TRepMetafile::Draw(QPainter &painter, const QRectF &target) const
{
    if (IsNull() || target.isEmpty())
        return;
    painter.save();
    painter.translate(target.topLeft());
    const double sx = target.width() / m_width;
    const double sy = target.height() / m_height;
    painter.scale(sx, sy);
    if (sx != 1.0 || sy != 1.0)
        painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    TRepPainterCanvas canvas(&painter, 96.0);
    Play(canvas);
    painter.restore();
}

QStringList TRepMetafile::TextRecords() const
{
    return TRepEmfPlayer(*this).TextRecords();
}
