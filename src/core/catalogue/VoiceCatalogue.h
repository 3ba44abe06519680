#pragma once

#include "catalogue/DataSource.h"
#include "catalogue/VoiceInfo.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace parlino {

// A voice file of eSpeak NG as its voice list names it.
struct EspeakLanguage {
    QString file;         // last part of the voice's identifier: "en-GB-scotland"
    QString languageCode; // its first language: "en-gb-scotland"
    QString name;         // eSpeak's own name: "English (Scotland)"
};

// The languages and voices one engine offers: a language's display name to
// its voices. Built from the built-in table, from the service's voice list,
// or from eSpeak NG's voice files for the offline engine.
class VoiceCatalogue {
public:
    // The built-in table: 37 languages, 88 voices, six languages without one.
    static VoiceCatalogue builtIn();
    // The service's voices under their languages (a voice that speaks several
    // languages is listed under each), plus the built-in languages the
    // service has no voice for, listed without voices.
    static VoiceCatalogue fromCloudVoices(const QList<VoiceInfo> &voices);
    // The offline engine's languages: the built-in languages (those without a
    // cloud voice read by their eSpeak voice) and every other eSpeak language.
    static VoiceCatalogue offline(const QList<EspeakLanguage> &espeakLanguages);

    // This catalogue with the other's languages and voices added.
    VoiceCatalogue merged(const VoiceCatalogue &other) const;

    // Language names in pop-up order.
    QStringList languages() const;
    bool hasLanguage(const QString &language) const { return m_languages.contains(language); }
    // The language's voices in name order.
    QList<VoiceInfo> voicesOf(const QString &language) const;
    // Each voice once, in pop-up order of languages and names.
    QList<VoiceInfo> allVoices() const;

    std::optional<VoiceInfo> voice(const QString &name) const;
    bool contains(const QString &voiceName) const { return voice(voiceName).has_value(); }
    // The first language in pop-up order that lists the voice; empty if none.
    QString languageOf(const QString &voiceName) const;
    // The first voice of the first language that has one, as at start-up.
    QString defaultVoice() const;

    // Language names to voice names, the form the built-in table has.
    Catalogue names() const;

    // A display name for a language code: the built-in table's name when it
    // has the code ("English (UK)"), otherwise Qt's names ("Catalan (Spain)"),
    // otherwise the code itself.
    static QString languageName(const QString &code);

    // The generated offline voices of an eSpeak voice file: FILE-eSpeak-A
    // to -E, one per variant.
    static QList<VoiceInfo> espeakVoices(const QString &file);

private:
    void add(const QString &language, const VoiceInfo &voice);

    QHash<QString, QList<VoiceInfo>> m_languages;
};

} // namespace parlino
