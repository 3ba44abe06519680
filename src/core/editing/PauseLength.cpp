#include "editing/PauseLength.h"

#include <QRegularExpression>

#include <cmath>

namespace parlino {

std::optional<QString> readPauseLength(const QString &text, const QLocale &locale, QString *error) {
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QString separator = locale.decimalPoint();
    const QString decimal =
        separator == QLatin1String(".")
            ? QStringLiteral("\\.")
            : QStringLiteral("[.%1]").arg(QRegularExpression::escape(separator));
    const QRegularExpression pattern(
        QStringLiteral("^(\\d+(?:%1\\d*)?|%1\\d+)\\s*(s|ms)?$").arg(decimal),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return refuse(QStringLiteral("expected a length such as 1.5, 2s or 500ms"));
    QString number = match.captured(1);
    number.replace(separator, QStringLiteral("."));
    double seconds = number.toDouble();
    if (match.captured(2).compare(QLatin1String("ms"), Qt::CaseInsensitive) == 0)
        seconds /= 1000.0;
    // Whole milliseconds: what both engines can tell apart.
    seconds = std::round(seconds * 1000.0) / 1000.0;
    if (seconds < shortestPauseSeconds || seconds > longestPauseSeconds)
        return refuse(QStringLiteral("a pause lasts from 0.1 s to 60 s"));
    return QString::number(seconds, 'g', 6);
}

} // namespace parlino
