#pragma once

#include "catalogue/VoiceCatalogue.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace parlino {

// What the language and voice pop-ups offer and which entries are chosen:
// the catalogue in use, the language, the voice family of the style
// segment, the search and the favourites (listed first). Widget-free: the
// view fills its pop-ups from it and reports the user's picks to it.
class VoicePicker {
public:
    VoicePicker();

    // Another catalogue (the engine changed, or the service's list arrived).
    // The language and voice stay when the new catalogue has them; otherwise
    // the language's first voice, or the start-up choice, is taken.
    void setCatalogue(const VoiceCatalogue &catalogue);
    const VoiceCatalogue &catalogue() const { return m_catalogue; }

    // Languages in pop-up order, those matching the search only.
    QStringList languages() const;
    QString language() const { return m_language; }
    // A language pick: the family filter goes back to "All" and the first
    // voice of the list is chosen, even when the language did not change.
    void pickLanguage(const QString &language);

    // "All" and the families of the language.
    QStringList families() const;
    QString family() const { return m_family; }
    // A family pick: the list is filled again and its first voice chosen.
    void pickFamily(const QString &family);

    // The language's voices of the family that match the search, favourites first.
    QList<VoiceInfo> voices() const;
    // The chosen voice's name; empty when the list is empty.
    QString voice() const { return m_voice; }
    void pickVoice(const QString &voice);

    QString query() const { return m_query; }
    // A new search: when the language no longer matches, the first matching
    // one is taken; when nothing matches, the choice stays. False then.
    bool search(const QString &query);

    const QSet<QString> &favourites() const { return m_favourites; }
    void setFavourites(const QSet<QString> &favourites) { m_favourites = favourites; }
    bool isFavourite(const QString &voice) const { return m_favourites.contains(voice); }
    void setFavourite(const QString &voice, bool favourite);

    // Takes a remembered choice: the voice (and its language) when the
    // catalogue has it, else the language and its first voice. False when
    // neither is known; the choice is then unchanged.
    bool restore(const QString &language, const QString &voice);

private:
    void chooseFirstVoice();
    void startUpChoice();

    VoiceCatalogue m_catalogue;
    QString m_language;
    QString m_family;
    QString m_voice;
    QString m_query;
    QSet<QString> m_favourites;
};

} // namespace parlino
