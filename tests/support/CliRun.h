#pragma once

#include "CommandLine.h"

#include <QBuffer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace parlino {

// Runs `parlino ARGUMENTS...` in-process with input on standard input, and
// collects the exit status and what went to standard output and error.
struct CliRun {
    int status = -1;
    QString out;
    QByteArray outBytes; // standard output as written, for audio sent there
    QString err;

    QStringList outLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }

    static CliRun run(const QStringList &arguments, const QByteArray &input = QByteArray()) {
        QByteArray inBytes = input;
        QBuffer in(&inBytes);
        in.open(QIODevice::ReadOnly);
        CliRun result;
        QBuffer outDevice(&result.outBytes);
        outDevice.open(QIODevice::WriteOnly);
        QTextStream outStream(&outDevice);
        QTextStream errStream(&result.err);
        result.status =
            CommandLine::run(QStringList{"parlino"} + arguments, {in, outStream, errStream});
        outStream.flush();
        errStream.flush();
        result.out = QString::fromUtf8(result.outBytes);
        return result;
    }
};

// Writes bytes to a file and returns its path.
inline QString writeTestFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace parlino
