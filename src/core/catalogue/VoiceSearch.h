#pragma once

#include "catalogue/VoiceCatalogue.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace parlino {

// Finding a voice: the family filter of the voice-style segment, the search
// field over languages and voices, and favourites listed first. Pure
// functions over a catalogue, so the picker's behaviour is tested without a
// window.
namespace VoiceSearch {

// The segment's label that keeps every family.
QString allFamilies();

// "All" followed by the families the voices have, in name order.
QStringList familiesOf(const QList<VoiceInfo> &voices);

// The voices of the family; every voice for allFamilies() or an empty family.
QList<VoiceInfo> ofFamily(const QList<VoiceInfo> &voices, const QString &family);

// True when every word of the query (case-insensitive) is found in the
// language's name, one of the voice's language codes, its name or family,
// or is its gender ("female" does not match a male voice). An empty query
// matches everything.
bool matches(const VoiceInfo &voice, const QString &language, const QString &query);

// The catalogue's languages, in pop-up order, whose name matches the query
// or that have a voice that matches it.
QStringList languagesMatching(const VoiceCatalogue &catalogue, const QString &query);

// The language's voices that match the query; all of them when the
// language's name alone matches every word.
QList<VoiceInfo> voicesMatching(const VoiceCatalogue &catalogue, const QString &language,
                                const QString &query);

// The voices with the favourites first, each group in its given order.
QList<VoiceInfo> favouritesFirst(const QList<VoiceInfo> &voices, const QSet<QString> &favourites);

} // namespace VoiceSearch

} // namespace parlino
