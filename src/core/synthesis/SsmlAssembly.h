#pragma once

#include "editing/EffectKind.h"
#include "editing/SSMLCharactersModel.h"

#include <QString>

#include <vector>

namespace parlino {

// Builds the string a conversion sends: the text unchanged when there are no
// spans, otherwise an SSML document inside <speak>. Each span's element
// encloses exactly its range (containing spans outside, the earlier of two
// identical ranges outside, crossing ranges split so the document stays
// well-formed). Text and values are XML-escaped. A pause glyph becomes a
// break with the value of the Break span at its position, or of the first
// Break span when it has none of its own; without any Break span it stays.
// Spans of unknown kind and spans outside the text are skipped.
QString assembleSsml(const QString &text, const EffectsArray &spans);

// The opening tag (for Break, the whole element) of a span of the kind with
// this value, the value escaped.
QString openingTag(const EffectKind &kind, const QString &value);

// Like assembleSsml, but always an SSML document, with <mark name='wI'/>
// before the character at marks[I] (ascending UTF-16 offsets), so that an
// engine can report when it reaches each of them. Marks that fall inside a
// say-as or sub element are left out: those elements hold text only.
QString assembleSsmlWithMarks(const QString &text, const EffectsArray &spans,
                              const std::vector<qint64> &marks);

} // namespace parlino
