#include "synthesis/offline/OfflineVoice.h"

#include <QHash>

#include <cmath>

namespace parlino {

namespace {

struct VoiceFile {
    const char *languageCode;
    const char *espeakName;
    const char *note;
    bool substitute;
};

// Language codes of the catalogue, and of its languages without cloud
// voices, to eSpeak NG 1.51 voice files.
const VoiceFile voiceFiles[] = {
    {"ar-XA", "ar", "Unvocalised Arabic: eSpeak guesses the vowels.", false},
    {"cs-CZ", "cs", "", false},
    {"da-DK", "da", "", false},
    {"nl-NL", "nl", "", false},
    {"en-AU", "en", "No Australian voice: British English reads it.", false},
    {"en-IN", "en", "No Indian English voice: British English reads it.", false},
    {"en-GB", "en", "", false},
    {"en-US", "en-us", "", false},
    {"fil-PH", "id", "eSpeak NG has no Filipino voice: Indonesian reads it.", true},
    {"fi-FI", "fi", "", false},
    {"fr-CA", "fr", "No Canadian French voice: French (France) reads it.", false},
    {"fr-FR", "fr", "", false},
    {"de-DE", "de", "", false},
    {"el-GR", "el", "", false},
    {"hi-IN", "hi", "", false},
    {"hu-HU", "hu", "", false},
    {"id-ID", "id", "", false},
    {"it-IT", "it", "", false},
    {"ja-JP", "ja", "Kanji are skipped: the offline Japanese voice reads kana only.", false},
    {"ko-KR", "ko", "", false},
    {"nb-NO", "nb", "", false},
    {"pl-PL", "pl", "", false},
    {"pt-BR", "pt-br", "", false},
    {"pt-PT", "pt", "", false},
    {"ru-RU", "ru", "", false},
    {"sk-SK", "sk", "", false},
    {"es-ES", "es", "", false},
    {"sv-SE", "sv", "", false},
    {"tr-TR", "tr", "", false},
    {"uk-UA", "uk", "", false},
    {"vi-VN", "vi", "", false},
    {"cy-GB", "cy", "", false},
    {"is-IS", "is", "", false},
    {"ro-RO", "ro", "", false},
    {"es-MX", "es-419", "", false},
    {"es-US", "es-419", "", false},
};

// A language code not in the table: its primary language, then English.
const QHash<QString, QString> &primaryLanguages() {
    static const QHash<QString, QString> table{
        {QStringLiteral("ar"), QStringLiteral("ar")}, {QStringLiteral("cs"), QStringLiteral("cs")},
        {QStringLiteral("da"), QStringLiteral("da")}, {QStringLiteral("nl"), QStringLiteral("nl")},
        {QStringLiteral("en"), QStringLiteral("en")}, {QStringLiteral("fi"), QStringLiteral("fi")},
        {QStringLiteral("fr"), QStringLiteral("fr")}, {QStringLiteral("de"), QStringLiteral("de")},
        {QStringLiteral("el"), QStringLiteral("el")}, {QStringLiteral("hi"), QStringLiteral("hi")},
        {QStringLiteral("hu"), QStringLiteral("hu")}, {QStringLiteral("id"), QStringLiteral("id")},
        {QStringLiteral("it"), QStringLiteral("it")}, {QStringLiteral("ja"), QStringLiteral("ja")},
        {QStringLiteral("ko"), QStringLiteral("ko")}, {QStringLiteral("nb"), QStringLiteral("nb")},
        {QStringLiteral("no"), QStringLiteral("nb")}, {QStringLiteral("pl"), QStringLiteral("pl")},
        {QStringLiteral("pt"), QStringLiteral("pt")}, {QStringLiteral("ru"), QStringLiteral("ru")},
        {QStringLiteral("sk"), QStringLiteral("sk")}, {QStringLiteral("es"), QStringLiteral("es")},
        {QStringLiteral("sv"), QStringLiteral("sv")}, {QStringLiteral("tr"), QStringLiteral("tr")},
        {QStringLiteral("uk"), QStringLiteral("uk")}, {QStringLiteral("vi"), QStringLiteral("vi")},
        {QStringLiteral("cy"), QStringLiteral("cy")}, {QStringLiteral("is"), QStringLiteral("is")},
        {QStringLiteral("ro"), QStringLiteral("ro")}, {QStringLiteral("fil"), QStringLiteral("id")},
        {QStringLiteral("tl"), QStringLiteral("id")}};
    return table;
}

// Median F0 of en-us against espeakPITCH, in semitones from the default (50).
struct PitchPoint {
    int value;
    double semitones;
};
const PitchPoint pitchTable[] = {{0, -6.3},  {10, -5.4}, {20, -4.4}, {30, -3.0},
                                 {40, -1.6}, {50, 0.0},  {60, 1.6},  {70, 3.4},
                                 {80, 5.2},  {90, 7.0},  {99, 8.8}};
constexpr int pitchPoints = int(sizeof(pitchTable) / sizeof(pitchTable[0]));

constexpr double normalWordsPerMinute = 175.0;
constexpr int minWordsPerMinute = 80;
constexpr double maxRate = 4.0; // the cloud service's highest speaking rate

} // namespace

QString OfflineVoice::identifier() const {
    return variant.isEmpty() ? espeakName : espeakName + QLatin1Char('+') + variant;
}

bool OfflineVoice::readsHan() const {
    // eSpeak NG's Japanese reads kana only; it would read each kanji as the
    // English words "Chinese letter".
    return espeakName != QLatin1String("ja");
}

bool OfflineVoice::isHan(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3005;
}

QString OfflineVoice::variantForLetter(QChar letter) {
    switch (letter.toUpper().unicode()) {
    case u'A':
        return QStringLiteral("m3");
    case u'B':
        return QStringLiteral("f3");
    case u'C':
        return QStringLiteral("m8");
    case u'D':
        return QStringLiteral("Annie");
    case u'E':
        return QStringLiteral("f1");
    default:
        return {};
    }
}

OfflineVoice OfflineVoice::forVoice(const QString &languageCode, const QString &voiceName) {
    OfflineVoice voice;
    const QString code = languageCode.trimmed();
    const QString name = voiceName.trimmed();
    // "cy-eSpeak-B": an eSpeak voice file named outright, read as it is.
    const qsizetype marker = name.indexOf(QLatin1String("-eSpeak-"));
    if (marker > 0) {
        voice.espeakName = name.left(marker);
        voice.variant = variantForLetter(name.back());
        return voice;
    }
    for (const VoiceFile &file : voiceFiles) {
        if (code.compare(QLatin1String(file.languageCode), Qt::CaseInsensitive) == 0) {
            voice.espeakName = QLatin1String(file.espeakName);
            voice.note = QString::fromUtf8(file.note);
            voice.substitute = file.substitute;
            break;
        }
    }
    if (voice.espeakName.isEmpty()) {
        const QString primary = code.section(QLatin1Char('-'), 0, 0).toLower();
        voice.espeakName = primaryLanguages().value(primary);
        if (primary == QLatin1String("fil") || primary == QLatin1String("tl")) {
            voice.substitute = true;
            voice.note = QStringLiteral("eSpeak NG has no Filipino voice: Indonesian reads it.");
        }
        if (voice.espeakName.isEmpty()) {
            voice.espeakName = QStringLiteral("en");
            voice.substitute = true;
            voice.note = QStringLiteral("eSpeak NG has no voice for \"%1\": English reads it.")
                             .arg(code.isEmpty() ? QStringLiteral("no language") : code);
        }
    }
    if (name.size() >= 2 && name.at(name.size() - 2) == u'-')
        voice.variant = variantForLetter(name.back());
    return voice;
}

QList<OfflineVoiceRow> OfflineVoice::mappingTable() {
    QList<OfflineVoiceRow> rows;
    for (const VoiceFile &file : voiceFiles) {
        const QString code = QLatin1String(file.languageCode);
        rows.append(OfflineVoiceRow{code, forVoice(code, QString())});
    }
    return rows;
}

double OfflineProsody::minPitch() {
    return pitchTable[0].semitones;
}

double OfflineProsody::maxPitch() {
    return pitchTable[pitchPoints - 1].semitones;
}

double OfflineProsody::minSpeakingRate() {
    return minWordsPerMinute / normalWordsPerMinute;
}

double OfflineProsody::maxSpeakingRate() {
    return maxRate;
}

int OfflineProsody::espeakPitch(double semitones, bool *clamped) {
    const bool out = !(semitones >= minPitch() && semitones <= maxPitch());
    if (clamped)
        *clamped = out;
    if (!(semitones > minPitch())) // also NaN
        return pitchTable[0].value;
    if (semitones >= maxPitch())
        return pitchTable[pitchPoints - 1].value;
    for (int i = 1; i < pitchPoints; ++i) {
        const PitchPoint &lo = pitchTable[i - 1];
        const PitchPoint &hi = pitchTable[i];
        if (semitones <= hi.semitones) {
            const double t = (semitones - lo.semitones) / (hi.semitones - lo.semitones);
            return int(std::lround(lo.value + t * (hi.value - lo.value)));
        }
    }
    return 50;
}

int OfflineProsody::espeakRate(double speakingRate, bool *clamped) {
    double rate = speakingRate;
    if (!(rate > 0.0)) // also NaN
        rate = 1.0;
    const double wpm = rate * normalWordsPerMinute;
    const bool out = speakingRate != rate || wpm < minWordsPerMinute || rate > maxRate;
    if (clamped)
        *clamped = out;
    return int(std::lround(qBound(double(minWordsPerMinute), wpm, maxRate * normalWordsPerMinute)));
}

} // namespace parlino
