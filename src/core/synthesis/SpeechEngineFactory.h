#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QObject;

namespace parlino {

class SpeechEngine;

// Which engine speaks, and how to make one.
namespace SpeechEngineFactory {

enum class Kind { Cloud, Offline };

QString name(Kind kind);                               // "cloud", "offline"
std::optional<Kind> kindFromName(const QString &name); // case-insensitive
QStringList names();

// True when this build has an offline engine.
bool offlineAvailable();

// The engine setting when it is set, otherwise cloud when PARLINO_API_KEY is
// set, otherwise the offline engine, which needs no account and no network.
Kind preferredKind();
// The kind named, or the preferred one when the name names none (the
// setting is read only then).
Kind kindOrPreferred(const QString &name);

// A new engine of that kind, or nothing with a one-line reason (an offline
// engine missing from this build, an endpoint the key may not be sent to).
// The cloud engine uses the configured endpoint; an empty apiKey is looked
// up for each request.
std::unique_ptr<SpeechEngine> create(Kind kind, const QString &apiKey = QString(),
                                     QString *error = nullptr);

} // namespace SpeechEngineFactory

} // namespace parlino
