#include "catalogue/KeyOrder.h"

#include <algorithm>

namespace parlino {

namespace {

bool isAsciiDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Compares the digit runs a[i..) and b[j..) by value; advances i and j past them.
int compareDigitRuns(QStringView a, qsizetype &i, QStringView b, qsizetype &j) {
    while (i < a.size() && a.at(i) == u'0' && i + 1 < a.size() && isAsciiDigit(a.at(i + 1)))
        ++i;
    while (j < b.size() && b.at(j) == u'0' && j + 1 < b.size() && isAsciiDigit(b.at(j + 1)))
        ++j;
    qsizetype ei = i;
    while (ei < a.size() && isAsciiDigit(a.at(ei)))
        ++ei;
    qsizetype ej = j;
    while (ej < b.size() && isAsciiDigit(b.at(ej)))
        ++ej;
    const qsizetype lenA = ei - i;
    const qsizetype lenB = ej - j;
    int result = lenA < lenB ? -1 : (lenA > lenB ? 1 : 0);
    for (qsizetype k = 0; result == 0 && k < lenA; ++k)
        result = int(a.at(i + k).unicode()) - int(b.at(j + k).unicode());
    i = ei;
    j = ej;
    return result;
}

} // namespace

int numericCompare(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isAsciiDigit(a.at(i)) && isAsciiDigit(b.at(j))) {
            const int runs = compareDigitRuns(a, i, b, j);
            if (runs != 0)
                return runs;
            continue;
        }
        const int diff = int(a.at(i).unicode()) - int(b.at(j).unicode());
        if (diff != 0)
            return diff;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    // Equal by value ("007" and "7"): fall back to code units so the order is total.
    return a.compare(b);
}

QStringList sortedArrayByKeys(const QStringList &keys) {
    QStringList sorted = keys;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString &a, const QString &b) { return numericCompare(a, b) < 0; });
    return sorted;
}

} // namespace parlino
