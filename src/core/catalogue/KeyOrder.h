#pragma once

#include <QStringList>
#include <QStringView>

namespace parlino {

// Numeric-aware comparison: runs of decimal digits compare by their value,
// everything else by UTF-16 code unit, case-sensitive, without a locale.
// Returns <0, 0 or >0.
int numericCompare(QStringView a, QStringView b);

// The strings in ascending numericCompare order; the argument is not changed.
QStringList sortedArrayByKeys(const QStringList &keys);

} // namespace parlino
