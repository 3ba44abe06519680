#pragma once

#include "editing/EffectKind.h"
#include "editing/SSMLCharactersModel.h"

#include <QStringList>

namespace parlino {

// Test helpers: spans written as (location, end), like the tables.
inline SSMLCharactersModel span(qint64 location, qint64 end,
                                const QString &effect = QStringLiteral("Emphasis"),
                                const QString &value = QStringLiteral("strong")) {
    SSMLCharactersModel s;
    s.location = location;
    s.length = end - location;
    s.effects = effect;
    s.ssmlTag = value;
    if (const EffectKind *kind = EffectKind::find(effect))
        s.color = kind->color();
    return s;
}

// "[10,20) [30,40)": compact form of a span list for comparisons.
inline QString ranges(const EffectsArray &spans) {
    QStringList parts;
    for (const SSMLCharactersModel &s : spans)
        parts << QStringLiteral("[%1,%2)").arg(s.location).arg(s.end());
    return parts.join(u' ');
}

} // namespace parlino
