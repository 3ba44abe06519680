#pragma once

#include "SpanBuilders.h"

#include <QRandomGenerator>

#include <algorithm>

namespace parlino {

// Test helper: a random text of up to 30 pieces, with one to six spans of
// random kinds and values over random ranges of it.
struct RandomDocument {
    QString text;
    EffectsArray spans;

    bool has(const char *kind) const {
        return std::any_of(spans.cbegin(), spans.cend(), [kind](const SSMLCharactersModel &s) {
            return s.effects == QLatin1String(kind);
        });
    }

    static RandomDocument make(QRandomGenerator &random, const QStringList &pieces,
                               const QStringList &kinds, const QStringList &values) {
        RandomDocument document;
        const int count = random.bounded(0, 30);
        for (int i = 0; i < count; ++i)
            document.text += pieces.at(random.bounded(int(pieces.size())));
        const int spanCount = random.bounded(1, 7);
        for (int i = 0; i < spanCount; ++i) {
            const qint64 a = random.bounded(int(document.text.size()) + 1);
            const qint64 b = random.bounded(int(document.text.size()) + 1);
            const QString &kind = kinds.at(random.bounded(int(kinds.size())));
            const QString &value = values.at(random.bounded(int(values.size())));
            document.spans << span(qMin(a, b), qMax(a, b), kind, value);
        }
        return document;
    }
};

} // namespace parlino
