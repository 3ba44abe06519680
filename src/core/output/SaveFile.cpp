#include "output/SaveFile.h"

#include <algorithm>

namespace parlino {

namespace {

constexpr qsizetype chunkSize = 64 * 1024;

} // namespace

SaveFile::SaveFile(const QString &path)
    : m_file(path) {}

bool SaveFile::fail() {
    m_error = m_file.error() == QFileDevice::NoError
                  ? QStringLiteral("only part of the file could be written (is the disk full?)")
                  : m_file.errorString();
    return false;
}

bool SaveFile::open() {
    return m_file.open(QIODevice::WriteOnly) || fail();
}

bool SaveFile::write(QByteArrayView bytes) {
    for (qsizetype offset = 0; offset < bytes.size(); offset += chunkSize) {
        const qsizetype length = std::min(chunkSize, bytes.size() - offset);
        if (m_file.write(bytes.data() + offset, length) != length) {
            fail();
            m_file.cancelWriting();
            return false;
        }
    }
    return true;
}

bool SaveFile::writeFrom(QIODevice &source) {
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(chunkSize);
        if (chunk.isEmpty()) {
            m_error =
                QStringLiteral("the audio could not be read back: %1").arg(source.errorString());
            m_file.cancelWriting();
            return false;
        }
        if (!write(chunk))
            return false;
    }
    return true;
}

bool SaveFile::commit() {
    return m_file.commit() || fail();
}

bool SaveFile::save(const QString &path, QByteArrayView bytes, QString *error) {
    SaveFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool SaveFile::save(const QString &path, QIODevice &source, QString *error) {
    SaveFile file(path);
    if (file.open() && file.writeFrom(source) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace parlino
