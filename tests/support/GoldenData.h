#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <QStringList>

namespace parlino {

// Test helpers: reading the golden files under tests/data.

// The file's text, less one final newline (the files end in one, the
// outputs they hold do not).
inline QString goldenText(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

inline QJsonArray goldenJsonArray(const QString &path) {
    return QJsonDocument::fromJson(goldenText(path).toUtf8()).array();
}

// The tab-separated rows of a table, without blank lines and # comments.
inline QList<QStringList> goldenTable(const QString &path) {
    QList<QStringList> rows;
    for (const QString &line : goldenText(path).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            rows << line.split(QLatin1Char('\t'));
    }
    return rows;
}

} // namespace parlino
