#pragma once

// What the export tests share: running the checking tools on a written file.

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>


namespace ExportTools {

struct ToolResult
{
    bool started = false;
    int exitCode = -1;
    QByteArray out, err;
};

// A device that refuses a write beyond `room` bytes, as a full disk does.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (qint64(written.size()) + size > m_room) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        written.append(data, size);
        return size;
    }

private:
    qint64 m_room;
};

inline ToolResult Run(const QString &program, const QStringList &args, int timeoutMs = 60000,
                      const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    ToolResult r;
    if (QStandardPaths::findExecutable(program).isEmpty())
        return r;
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    r.started = p.waitForStarted(10000);
    if (!r.started)
        return r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Empty when `qpdf --check` finds neither error nor warning; else what it said.
inline QString QpdfProblems(const QString &file)
{
    const ToolResult r = Run(QStringLiteral("qpdf"), {QStringLiteral("--check"), file});
    if (!r.started)
        return QStringLiteral("qpdf did not run");
    if (r.exitCode != 0 || !r.err.isEmpty() || r.out.contains("WARNING") || r.out.contains("ERROR"))
        return QString::fromUtf8(r.out + r.err);
    return {};
}

// One word of `pdftotext -bbox`, in points from the page's top left.
struct Word
{
    int page;
    QString text;
    QRectF box;
};

inline QList<Word> Words(const QString &pdf)
{
    QList<Word> words;
    const ToolResult r = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (r.exitCode != 0)
        return words;
    const QString html = QString::fromUtf8(r.out);
    static const QRegularExpression rx(QStringLiteral(
        R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re"));
    int page = 0;
    for (auto it = rx.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        words.append({page, text, QRectF(QPointF(x0, y0), QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// The content streams of a written PDF in page order, inflated where they
// are deflated: (dictionary, operators) pairs.
inline QList<QByteArray> ContentStreams(const QByteArray &pdf)
{
    QList<QByteArray> out;
    static const QRegularExpression dict(QStringLiteral("<< /Length (\\d+)( /Filter /FlateDecode)? >>\\r\\nstream\\r\\n"));
    const QString latin = QString::fromLatin1(pdf);
    for (auto it = dict.globalMatch(latin); it.hasNext();) {
        const auto m = it.next();
        QByteArray data = pdf.mid(m.capturedEnd(), m.captured(1).toLongLong());
        if (!m.captured(2).isEmpty()) {
            // qUncompress wants the length in front; it grows past a short guess.
            const quint32 guess = quint32(data.size()) * 8 + 1024;
            QByteArray framed(4, '\0');
            framed[0] = char(guess >> 24);
            framed[1] = char(guess >> 16);
            framed[2] = char(guess >> 8);
            framed[3] = char(guess);
            data = qUncompress(framed + data);
        }
        out.append(data);
    }
    return out;
}

inline QString PlainText(const QString &pdf)
{
    return QString::fromUtf8(Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out);
}

} // namespace ExportTools
