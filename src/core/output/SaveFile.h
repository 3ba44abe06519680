#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

namespace parlino {

// Writes a file whole or not at all. QSaveFile writes a temporary file and
// renames it over the target on commit(); but on a full disk a write can
// come back short without an error while commit() still succeeds, leaving a
// truncated file. Here every write is compared with its byte count, and a
// short one cancels the file, so the old file (or none) stays.
class SaveFile {
public:
    explicit SaveFile(const QString &path);

    bool open();
    // Writes in chunks; false (and the file cancelled) when any comes back short.
    bool write(QByteArrayView bytes);
    // Copies the rest of a readable device in chunks, as write() does.
    bool writeFrom(QIODevice &source);
    bool commit();
    // Why the last call failed, for the user.
    QString errorString() const { return m_error; }

    // open(), write(bytes) and commit(); on failure *error says why.
    static bool save(const QString &path, QByteArrayView bytes, QString *error);
    // The same, copying the rest of a readable device.
    static bool save(const QString &path, QIODevice &source, QString *error);

private:
    bool fail();

    QSaveFile m_file;
    QString m_error;
};

} // namespace parlino
