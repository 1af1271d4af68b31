#include "report/store/trepstream.h"

#include "report/model/ereperror.h"
#include "report/model/trepfilecommit.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

TRepStream::TRepStream(qint64 memoryLimit)
    : m_limit(memoryLimit)
{
}

TRepStream::~TRepStream() = default; // the temporary file removes itself

std::unique_ptr<TRepStream> TRepStream::OpenFile(const QString &fileName)
{
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::ReadOnly))
        throw ERepError(QStringLiteral("Não foi possível abrir o arquivo \"%1\": %2.")
                            .arg(fileName, TRepFileCommit::ReasonText(file->errorString())));
    std::unique_ptr<TRepStream> s(new TRepStream(0));
    s->m_readOnly = true;
    s->m_file = std::move(file);
    return s;
}

std::unique_ptr<TRepStream> TRepStream::OpenBytes(const QByteArray &bytes)
{
    std::unique_ptr<TRepStream> s(new TRepStream(0));
    s->m_readOnly = true;
    s->m_memory = bytes;
    return s;
}

bool TRepStream::InTemporaryFile() const
{
    QMutexLocker l(&m_lock);
    return bool(m_temp);
}

QString TRepStream::TemporaryFileName() const
{
    QMutexLocker l(&m_lock);
    return m_temp ? m_temp->fileName() : QString();
}

QString TRepStream::FileName() const
{
    QMutexLocker l(&m_lock);
    if (m_file)
        return m_file->fileName();
    return TemporaryFileName();
}

static QIODevice *DeviceOf(QTemporaryFile *temp, QFile *file)
{
    if (temp)
        return temp;
    return file;
}

qint64 TRepStream::Size() const
{
    QMutexLocker l(&m_lock);
    if (QIODevice *d = DeviceOf(m_temp.get(), m_file.get()))
        return d->size();
    return m_memory.size();
}

qint64 TRepStream::Pos() const
{
    QMutexLocker l(&m_lock);
    if (QIODevice *d = DeviceOf(m_temp.get(), m_file.get()))
        return d->pos();
    return m_pos;
}

void TRepStream::Seek(qint64 pos)
{
    QMutexLocker l(&m_lock);
    if (pos < 0)
        pos = 0;
    if (QIODevice *d = DeviceOf(m_temp.get(), m_file.get())) {
        if (!d->seek(pos))
            throw ERepError(QStringLiteral("Não foi possível ler o relatório: %1.")
                .arg(TRepFileCommit::ReasonText(d->errorString())));
        return;
    }
    m_pos = pos;
}

void TRepStream::SeekEnd()
{
    QMutexLocker l(&m_lock);
    Seek(Size());
}

void TRepStream::CheckWritable() const
{
    if (m_readOnly)
        throw ERepError("A report file opened for reading is never written");
}

void TRepStream::Write(const char *data, qint64 size)
{
    QMutexLocker l(&m_lock);
    CheckWritable();
    if (size <= 0)
        return;
    if (m_temp) {
        if (m_temp->write(data, size) != size)
            throw ERepError(QStringLiteral("Não foi possível gravar o arquivo temporário do relatório: %1.")
                .arg(TRepFileCommit::ReasonText(m_temp->errorString())));
        return;
    }
    const qint64 end = m_pos + size;
    if (end > m_memory.size())
        m_memory.resize(end);
    std::memcpy(m_memory.data() + m_pos, data, size_t(size));
    m_pos = end;
    if (m_memory.size() > m_limit)
        Spill();
}

void TRepStream::Spill()
{
    // An unusable TMPDIR makes tempPath() empty: never fall to the root.
    QString folder = QDir::tempPath();
    if (folder.isEmpty())
        folder = QStringLiteral("/tmp");
    auto temp = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/RPFXXXXXX"));
    temp->setAutoRemove(true);
    if (!temp->open())
        throw ERepError(QStringLiteral("Não foi possível criar o arquivo temporário do relatório: %1.")
            .arg(TRepFileCommit::ReasonText(temp->errorString())));
    if (temp->write(m_memory) != m_memory.size())
        throw ERepError(QStringLiteral("Não foi possível gravar o arquivo temporário do relatório: %1.")
            .arg(TRepFileCommit::ReasonText(temp->errorString())));
    if (!temp->seek(m_pos))
        throw ERepError(QStringLiteral("Não foi possível ler o relatório: %1.")
            .arg(TRepFileCommit::ReasonText(temp->errorString())));
    m_temp = std::move(temp);
    m_memory = QByteArray();
}

void TRepStream::WriteI32(qint32 value)
{
    char b[4];
    qToLittleEndian<qint32>(value, b);
    Write(b, 4);
}

void TRepStream::WriteI32At(qint64 pos, qint32 value)
{
    QMutexLocker l(&m_lock);
    const qint64 keep = Pos();
    Seek(pos);
    WriteI32(value);
    Seek(keep);
}

void TRepStream::Truncate(qint64 size)
{
    QMutexLocker l(&m_lock);
    CheckWritable();
    if (size < 0 || size >= Size())
        return;
    if (m_temp) {
        if (!m_temp->resize(size))
            throw ERepError(QStringLiteral("Não foi possível gravar o arquivo temporário do relatório: %1.")
                .arg(TRepFileCommit::ReasonText(m_temp->errorString())));
        if (m_temp->pos() > size)
            m_temp->seek(size);
        return;
    }
    m_memory.truncate(size);
    m_pos = std::min(m_pos, size);
}

QByteArray TRepStream::Read(qint64 size)
{
    QMutexLocker l(&m_lock);
    if (size < 0 || size > Size() - Pos())
        throw ERepError("The report file is damaged: it ends too early");
    if (QIODevice *d = DeviceOf(m_temp.get(), m_file.get())) {
        QByteArray out = d->read(size);
        if (out.size() != size)
            throw ERepError(QStringLiteral("Não foi possível ler o relatório: %1.")
                .arg(TRepFileCommit::ReasonText(d->errorString())));
        return out;
    }
    QByteArray out = m_memory.mid(m_pos, size);
    m_pos += size;
    return out;
}

qint32 TRepStream::ReadI32()
{
    const QByteArray b = Read(4);
    return qFromLittleEndian<qint32>(b.constData());
}

QByteArray TRepStream::Peek(qint64 pos, qint64 size) const
{
    QMutexLocker l(&m_lock);
    if (pos < 0 || size <= 0 || pos >= Size())
        return QByteArray();
    if (QIODevice *d = DeviceOf(m_temp.get(), m_file.get())) {
        const qint64 keep = d->pos();
        QByteArray out;
        if (d->seek(pos))
            out = d->read(size);
        d->seek(keep);
        return out;
    }
    return m_memory.mid(pos, size);
}

void TRepStream::SaveToFile(const QString &fileName) const
{
    QMutexLocker l(&m_lock);
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        throw ERepError(QStringLiteral("Não foi possível criar o arquivo \"%1\": %2.")
                            .arg(fileName, TRepFileCommit::ReasonText(out.errorString())));
    const qint64 total = Size();
    for (qint64 pos = 0; pos < total; pos += SaveBlockSize) {
        const QByteArray block = Peek(pos, std::min(SaveBlockSize, total - pos));
        if (block.size() != std::min(SaveBlockSize, total - pos) || out.write(block) != block.size())
            throw ERepError(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.")
                                .arg(fileName, TRepFileCommit::WriteFailure(out)));
    }
    const QString failure = TRepFileCommit::Commit(out);
    if (!failure.isEmpty())
        throw ERepError(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.").arg(fileName, failure));
}
