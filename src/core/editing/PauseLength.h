#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace parlino {

// The shortest and longest pause a Break may hold, in seconds. The offline
// engine stops at 60 s; the cloud service names no maximum, so both engines
// are held to the same range and speak the same pause.
inline constexpr double shortestPauseSeconds = 0.1;
inline constexpr double longestPauseSeconds = 60.0;

// Reads a pause length as typed: a number with a dot or the locale's decimal
// separator, optionally followed by "s" or "ms" (spaces allowed before the
// unit), from 0.1 s to 60 s. Returns the length in seconds as the decimal text
// a Break span holds ("1.5", "0.25", "2"), or nothing with a one-line reason.
std::optional<QString> readPauseLength(const QString &text, const QLocale &locale,
                                       QString *error = nullptr);

} // namespace parlino
