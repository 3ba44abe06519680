#pragma once

#include <QList>
#include <QString>

namespace parlino {

struct OfflineVoiceRow;

// The eSpeak NG voice that reads a cloud voice offline: the voice file
// (espeak_SetVoiceByName knows only file names such as "en-us", "pt-br",
// "fr") and a variant per voice letter, so that the voices A to E of one
// language sound different.
struct OfflineVoice {
    QString espeakName;      // "en-us"
    QString variant;         // "m3"; empty for the voice's own sound
    QString note;            // what the listener should know, e.g. no regional voice
    bool substitute = false; // eSpeak has no voice for the language; another one reads it

    // "en-us+m3", the name espeak_SetVoiceByName takes.
    QString identifier() const;

    // Whether the voice reads Han characters (kanji); where it does not,
    // they are left out of what it is given.
    bool readsHan() const;
    // A Han character: CJK ideographs of the basic block, its extensions and
    // compatibility block, and the iteration mark 々.
    static bool isHan(char32_t c);

    // languageCode: "en-GB"; voiceName: "en-GB-Standard-B" (its last letter
    // picks the variant; any other name gives the voice's own sound). An
    // offline voice "FILE-eSpeak-L" names the eSpeak voice file itself.
    static OfflineVoice forVoice(const QString &languageCode, const QString &voiceName);

    // One row per language code of the catalogue and of its languages without
    // cloud voices, in the order of the table in the README.
    static QList<OfflineVoiceRow> mappingTable();

    // The variant for a voice letter A to E; empty for any other letter.
    static QString variantForLetter(QChar letter);
};

struct OfflineVoiceRow {
    QString languageCode;
    OfflineVoice voice;
};

// How far the offline engine can follow the pitch and speaking rate of a
// request, and the eSpeak parameters it uses for them.
class OfflineProsody {
public:
    // Pitch in semitones that eSpeak can reach (measured on en-us).
    static double minPitch();
    static double maxPitch();
    // Speaking rates that eSpeak can reach: 175 words per minute times the
    // rate, with eSpeak's floor of 80 words per minute.
    static double minSpeakingRate();
    static double maxSpeakingRate();

    // espeakPITCH (0 to 99) for a pitch in semitones; *clamped tells whether
    // the pitch was out of reach.
    static int espeakPitch(double semitones, bool *clamped = nullptr);
    // espeakRATE in words per minute for a speaking rate (1.0 = normal).
    static int espeakRate(double speakingRate, bool *clamped = nullptr);
};

} // namespace parlino
