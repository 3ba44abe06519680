#pragma once

#include "synthesis/offline/EspeakSsmlTranslator.h"
#include "synthesis/offline/OfflineVoice.h"

#include <QJsonObject>
#include <QString>

namespace parlino {

// A synthesis request (the cloud service's JSON body) read for eSpeak NG:
// the document translated for eSpeak, the voice, and pitch and rate as
// eSpeak parameters. Reading it is pure; what had to be clamped or
// substituted is logged.
struct OfflineRequest {
    EspeakDocument document;
    QString languageCode;
    OfflineVoice voice;
    int espeakPitch = 50; // espeakPITCH, 0 to 99
    int espeakRate = 175; // espeakRATE, words per minute

    // Reads the request; on failure returns false and sets *error to a
    // message for the user.
    static bool fromJson(const QJsonObject &request, OfflineRequest *out, QString *error);
};

} // namespace parlino
