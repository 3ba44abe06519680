#include "synthesis/offline/sayas/JapaneseReader.h"

namespace parlino {

QString JapaneseReader::date(const SayAsDate &date) const {
    QString out = LocaleReader::date(date);
    out.replace(QStringLiteral("年"), QStringLiteral(" ねん "));
    out.replace(QStringLiteral("月"), QStringLiteral(" がつ "));
    out.replace(QStringLiteral("日"), QStringLiteral(" にち"));
    return out.simplified();
}

} // namespace parlino
