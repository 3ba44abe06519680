#pragma once

#include "synthesis/offline/sayas/LocaleReader.h"

namespace parlino {

// Portuguese: as the locale writes it, with ordinals as "3º".
class PortugueseReader : public LocaleReader {
public:
    using LocaleReader::LocaleReader;

    QString ordinal(int n) const override { return QStringLiteral("%1º").arg(n); }
};

} // namespace parlino
