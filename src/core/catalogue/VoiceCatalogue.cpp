#include "catalogue/VoiceCatalogue.h"

#include "catalogue/KeyOrder.h"
#include "synthesis/offline/OfflineVoice.h"

#include <QLocale>
#include <QSet>

#include <algorithm>

namespace parlino {

namespace {

// Language codes of the built-in languages that have no cloud voice there.
const QHash<QString, QString> &voicelessLanguageCodes() {
    static const QHash<QString, QString> codes{
        {QStringLiteral("cy-GB"), QStringLiteral("Welsh")},
        {QStringLiteral("is-IS"), QStringLiteral("Icelandic")},
        {QStringLiteral("ro-RO"), QStringLiteral("Romanian")},
        {QStringLiteral("es-MX"), QStringLiteral("Spanish (Mexican)")},
        {QStringLiteral("es-US"), QStringLiteral("Spanish (US)")},
    };
    return codes;
}

// The eSpeak voice file that reads each built-in language without a cloud voice.
const QHash<QString, QString> &voicelessEspeakFiles() {
    static const QHash<QString, QString> files{
        {QStringLiteral("Welsh"), QStringLiteral("cy")},
        {QStringLiteral("Icelandic"), QStringLiteral("is")},
        {QStringLiteral("Romanian"), QStringLiteral("ro")},
        {QStringLiteral("Spanish (Mexican)"), QStringLiteral("es-419")},
        {QStringLiteral("Spanish (US)"), QStringLiteral("es-419")},
        {QStringLiteral("English (Welsh)"), QStringLiteral("en")},
    };
    return files;
}

// Language code (case-folded) to the built-in table's name for it.
const QHash<QString, QString> &builtInNames() {
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> table;
        const Catalogue catalogue = DataSource::returnDataSource();
        for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
            if (!it.value().isEmpty())
                table.insert(DataSource::languageCodeOfVoice(it.value().first()).toLower(),
                             it.key());
        }
        for (auto it = voicelessLanguageCodes().cbegin(); it != voicelessLanguageCodes().cend();
             ++it)
            table.insert(it.key().toLower(), it.value());
        return table;
    }();
    return names;
}

// Qt's English name for a code of one or two subtags, or empty.
QString localeName(const QString &code) {
    const QStringList tags = code.split(u'-');
    if (tags.size() > 2)
        return QString();
    const QLocale::Language language = QLocale::codeToLanguage(tags.first());
    if (language == QLocale::AnyLanguage || language == QLocale::C)
        return QString();
    const QString name = QLocale::languageToString(language);
    if (tags.size() == 1)
        return name;
    const QLocale::Territory territory = QLocale::codeToTerritory(tags.at(1));
    if (territory == QLocale::AnyTerritory)
        return QString();
    return QStringLiteral("%1 (%2)").arg(name, QLocale::territoryToString(territory));
}

// The variant letters and the gender each variant sounds like.
struct Variant {
    QChar letter;
    const char *gender;
};
const Variant variants[] = {
    {u'A', "MALE"}, {u'B', "FEMALE"}, {u'C', "MALE"}, {u'D', "FEMALE"}, {u'E', "FEMALE"}};

} // namespace

VoiceCatalogue VoiceCatalogue::builtIn() {
    // Built once: copies share the table until one of them changes.
    static const VoiceCatalogue table = [] {
        VoiceCatalogue catalogue;
        const Catalogue rows = DataSource::returnDataSource();
        for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
            catalogue.m_languages.insert(it.key(), {});
            for (const QString &name : it.value()) {
                VoiceInfo voice;
                voice.name = name;
                voice.languageCodes = {DataSource::languageCodeOfVoice(name)};
                catalogue.add(it.key(), voice);
            }
        }
        return catalogue;
    }();
    return table;
}

VoiceCatalogue VoiceCatalogue::fromCloudVoices(const QList<VoiceInfo> &voices) {
    VoiceCatalogue catalogue;
    for (const QString &language : DataSource::returnDataSource().keys())
        catalogue.m_languages.insert(language, {});
    for (VoiceInfo voice : voices) {
        voice.engine = VoiceInfo::Engine::Cloud;
        QSet<QString> seen;
        for (const QString &code : std::as_const(voice.languageCodes)) {
            const QString language = languageName(code);
            if (!seen.contains(language))
                catalogue.add(language, voice);
            seen.insert(language);
        }
    }
    return catalogue;
}

QList<VoiceInfo> VoiceCatalogue::espeakVoices(const QString &file) {
    QList<VoiceInfo> voices;
    for (const Variant &variant : variants) {
        VoiceInfo voice;
        voice.name = QStringLiteral("%1-eSpeak-%2").arg(file, variant.letter);
        voice.languageCodes = {file};
        voice.gender = QLatin1String(variant.gender);
        voice.engine = VoiceInfo::Engine::Offline;
        voices.append(voice);
    }
    return voices;
}

VoiceCatalogue VoiceCatalogue::offline(const QList<EspeakLanguage> &espeakLanguages) {
    VoiceCatalogue catalogue;
    QSet<QString> coveredFiles;
    const VoiceCatalogue table = builtIn();
    for (auto it = table.m_languages.cbegin(); it != table.m_languages.cend(); ++it) {
        QList<VoiceInfo> voices = it.value();
        if (voices.isEmpty())
            voices = espeakVoices(voicelessEspeakFiles().value(it.key()));
        for (VoiceInfo &voice : voices) {
            voice.engine = VoiceInfo::Engine::Offline;
            if (!espeakLanguages.isEmpty())
                coveredFiles.insert(OfflineVoice::forVoice(voice.languageCodes.value(0), voice.name)
                                        .espeakName.toLower());
            catalogue.add(it.key(), voice);
        }
    }
    for (const EspeakLanguage &language : espeakLanguages) {
        if (language.file.isEmpty() || coveredFiles.contains(language.file.toLower()))
            continue;
        coveredFiles.insert(language.file.toLower());
        QString name = localeName(language.languageCode);
        if (name.isEmpty() || catalogue.hasLanguage(name))
            name = language.name;
        if (name.isEmpty() || catalogue.hasLanguage(name))
            name =
                QStringLiteral("%1 (%2)").arg(name.isEmpty() ? language.file : name, language.file);
        for (const VoiceInfo &voice : espeakVoices(language.file))
            catalogue.add(name, voice);
    }
    return catalogue;
}

VoiceCatalogue VoiceCatalogue::merged(const VoiceCatalogue &other) const {
    VoiceCatalogue result = *this;
    for (auto it = other.m_languages.cbegin(); it != other.m_languages.cend(); ++it) {
        result.m_languages[it.key()];
        for (const VoiceInfo &voice : it.value())
            result.add(it.key(), voice);
    }
    return result;
}

void VoiceCatalogue::add(const QString &language, const VoiceInfo &voice) {
    QList<VoiceInfo> &voices = m_languages[language];
    // Voices mostly come in order: those go at the end without a search.
    if (voices.isEmpty() || numericCompare(voices.constLast().name, voice.name) < 0) {
        voices.append(voice);
        return;
    }
    const auto at = std::lower_bound(
        voices.begin(), voices.end(), voice,
        [](const VoiceInfo &a, const VoiceInfo &b) { return numericCompare(a.name, b.name) < 0; });
    if (at != voices.end() && at->name == voice.name)
        return;
    voices.insert(at, voice);
}

QStringList VoiceCatalogue::languages() const {
    return sortedArrayByKeys(m_languages.keys());
}

QList<VoiceInfo> VoiceCatalogue::voicesOf(const QString &language) const {
    return m_languages.value(language);
}

QList<VoiceInfo> VoiceCatalogue::allVoices() const {
    QList<VoiceInfo> all;
    QSet<QString> seen;
    for (const QString &language : languages()) {
        for (const VoiceInfo &voice : m_languages.value(language)) {
            if (!seen.contains(voice.name))
                all.append(voice);
            seen.insert(voice.name);
        }
    }
    return all;
}

std::optional<VoiceInfo> VoiceCatalogue::voice(const QString &name) const {
    for (const QList<VoiceInfo> &voices : m_languages) {
        for (const VoiceInfo &voice : voices) {
            if (voice.name == name)
                return voice;
        }
    }
    return std::nullopt;
}

QString VoiceCatalogue::languageOf(const QString &voiceName) const {
    for (const QString &language : languages()) {
        const QList<VoiceInfo> &voices = m_languages[language];
        if (std::any_of(voices.cbegin(), voices.cend(),
                        [&](const VoiceInfo &voice) { return voice.name == voiceName; }))
            return language;
    }
    return QString();
}

QString VoiceCatalogue::defaultVoice() const {
    for (const QString &language : languages()) {
        if (!m_languages[language].isEmpty())
            return m_languages[language].first().name;
    }
    return QString();
}

Catalogue VoiceCatalogue::names() const {
    Catalogue table;
    for (auto it = m_languages.cbegin(); it != m_languages.cend(); ++it) {
        QStringList names;
        for (const VoiceInfo &voice : it.value())
            names.append(voice.name);
        table.insert(it.key(), names);
    }
    return table;
}

QString VoiceCatalogue::languageName(const QString &code) {
    const QString known = builtInNames().value(code.toLower());
    if (!known.isEmpty())
        return known;
    const QString name = localeName(code);
    return name.isEmpty() ? code : name;
}

} // namespace parlino
