#include "catalogue/VoicePicker.h"

#include "catalogue/VoiceSearch.h"

namespace parlino {

VoicePicker::VoicePicker()
    : m_family(VoiceSearch::allFamilies()) {
    setCatalogue(VoiceCatalogue::builtIn());
}

void VoicePicker::setCatalogue(const VoiceCatalogue &catalogue) {
    m_catalogue = catalogue;
    if (!m_catalogue.hasLanguage(m_language)) {
        startUpChoice();
        return;
    }
    if (!families().contains(m_family))
        m_family = VoiceSearch::allFamilies();
    const QList<VoiceInfo> list = voices();
    const bool kept = std::any_of(list.cbegin(), list.cend(),
                                  [this](const VoiceInfo &voice) { return voice.name == m_voice; });
    if (!kept)
        chooseFirstVoice();
}

// Where every launch without a remembered choice starts: the built-in
// table's first voice and its language, or the first language in pop-up order.
void VoicePicker::startUpChoice() {
    m_family = VoiceSearch::allFamilies();
    const QString voice = DataSource::defaultVoice();
    m_language = m_catalogue.languageOf(voice);
    if (m_language.isEmpty())
        m_language = m_catalogue.languages().value(0);
    chooseFirstVoice();
}

QStringList VoicePicker::languages() const {
    return VoiceSearch::languagesMatching(m_catalogue, m_query);
}

void VoicePicker::pickLanguage(const QString &language) {
    m_language = language;
    m_family = VoiceSearch::allFamilies();
    chooseFirstVoice();
}

QStringList VoicePicker::families() const {
    return VoiceSearch::familiesOf(m_catalogue.voicesOf(m_language));
}

void VoicePicker::pickFamily(const QString &family) {
    m_family = families().contains(family) ? family : VoiceSearch::allFamilies();
    chooseFirstVoice();
}

QList<VoiceInfo> VoicePicker::voices() const {
    const QList<VoiceInfo> found = VoiceSearch::voicesMatching(m_catalogue, m_language, m_query);
    return VoiceSearch::favouritesFirst(VoiceSearch::ofFamily(found, m_family), m_favourites);
}

void VoicePicker::pickVoice(const QString &voice) {
    m_voice = voice;
}

bool VoicePicker::search(const QString &query) {
    const QString previous = m_query;
    m_query = query.trimmed();
    const QStringList matching = languages();
    if (matching.isEmpty()) {
        m_query = previous;
        return false;
    }
    if (!matching.contains(m_language)) {
        pickLanguage(matching.first());
        return true;
    }
    const QList<VoiceInfo> list = voices();
    if (std::none_of(list.cbegin(), list.cend(),
                     [this](const VoiceInfo &voice) { return voice.name == m_voice; }))
        chooseFirstVoice();
    return true;
}

void VoicePicker::setFavourite(const QString &voice, bool favourite) {
    if (voice.isEmpty())
        return;
    if (favourite)
        m_favourites.insert(voice);
    else
        m_favourites.remove(voice);
}

bool VoicePicker::restore(const QString &language, const QString &voice) {
    const QString languageOfVoice =
        m_catalogue.voicesOf(language).isEmpty() ? m_catalogue.languageOf(voice) : language;
    const QList<VoiceInfo> voices = m_catalogue.voicesOf(languageOfVoice);
    if (std::any_of(voices.cbegin(), voices.cend(),
                    [&](const VoiceInfo &v) { return v.name == voice; })) {
        pickLanguage(languageOfVoice);
        m_voice = voice;
        return true;
    }
    if (!m_catalogue.hasLanguage(language))
        return false;
    pickLanguage(language);
    return true;
}

void VoicePicker::chooseFirstVoice() {
    m_voice = voices().isEmpty() ? QString() : voices().first().name;
}

} // namespace parlino
