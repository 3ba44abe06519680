#include "catalogue/VoiceSearch.h"

#include "catalogue/KeyOrder.h"

#include <algorithm>

namespace parlino {

namespace VoiceSearch {

namespace {

QStringList words(const QString &query) {
    return query.toLower().split(u' ', Qt::SkipEmptyParts);
}

// The family is part of the name, so the name's test covers it.
bool wordMatches(const VoiceInfo &voice, const QString &language, const QString &word) {
    if (language.contains(word, Qt::CaseInsensitive) ||
        voice.name.contains(word, Qt::CaseInsensitive))
        return true;
    if (!voice.gender.isEmpty() && voice.gender.compare(word, Qt::CaseInsensitive) == 0)
        return true;
    return std::any_of(
        voice.languageCodes.cbegin(), voice.languageCodes.cend(),
        [&](const QString &code) { return code.contains(word, Qt::CaseInsensitive); });
}

bool languageMatchesAll(const QString &language, const QStringList &queryWords) {
    return std::all_of(queryWords.cbegin(), queryWords.cend(), [&](const QString &word) {
        return language.contains(word, Qt::CaseInsensitive);
    });
}

} // namespace

QString allFamilies() {
    return QStringLiteral("All");
}

QStringList familiesOf(const QList<VoiceInfo> &voices) {
    QStringList families;
    for (const VoiceInfo &voice : voices) {
        const QString family = voice.family();
        if (!family.isEmpty() && !families.contains(family))
            families.append(family);
    }
    return QStringList{allFamilies()} + sortedArrayByKeys(families);
}

QList<VoiceInfo> ofFamily(const QList<VoiceInfo> &voices, const QString &family) {
    if (family.isEmpty() || family == allFamilies())
        return voices;
    QList<VoiceInfo> kept;
    std::copy_if(voices.cbegin(), voices.cend(), std::back_inserter(kept),
                 [&](const VoiceInfo &voice) { return voice.family() == family; });
    return kept;
}

bool matches(const VoiceInfo &voice, const QString &language, const QString &query) {
    const QStringList queryWords = words(query);
    return std::all_of(queryWords.cbegin(), queryWords.cend(),
                       [&](const QString &word) { return wordMatches(voice, language, word); });
}

QStringList languagesMatching(const VoiceCatalogue &catalogue, const QString &query) {
    const QStringList queryWords = words(query);
    QStringList found;
    for (const QString &language : catalogue.languages()) {
        const QList<VoiceInfo> voices = catalogue.voicesOf(language);
        if (languageMatchesAll(language, queryWords) ||
            std::any_of(voices.cbegin(), voices.cend(), [&](const VoiceInfo &voice) {
                return std::all_of(
                    queryWords.cbegin(), queryWords.cend(),
                    [&](const QString &word) { return wordMatches(voice, language, word); });
            }))
            found.append(language);
    }
    return found;
}

QList<VoiceInfo> voicesMatching(const VoiceCatalogue &catalogue, const QString &language,
                                const QString &query) {
    const QList<VoiceInfo> voices = catalogue.voicesOf(language);
    if (languageMatchesAll(language, words(query)))
        return voices;
    QList<VoiceInfo> found;
    std::copy_if(voices.cbegin(), voices.cend(), std::back_inserter(found),
                 [&](const VoiceInfo &voice) { return matches(voice, language, query); });
    return found;
}

QList<VoiceInfo> favouritesFirst(const QList<VoiceInfo> &voices, const QSet<QString> &favourites) {
    QList<VoiceInfo> ordered = voices;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [&](const VoiceInfo &voice) { return favourites.contains(voice.name); });
    return ordered;
}

} // namespace VoiceSearch

} // namespace parlino
