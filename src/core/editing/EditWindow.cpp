#include "editing/EditWindow.h"

#include "text/Utf16.h"

#include <QStringView>

#include <algorithm>

namespace parlino {

namespace {

// Common head and tail of before[pos, pos + removed) and after[pos, pos + added),
// widened so neither end splits a surrogate pair in either string.
TextEdit trimInside(const QString &before, const QString &after, qint64 pos, qint64 removed,
                    qint64 added) {
    qint64 head = 0;
    while (head < removed && head < added && before.at(pos + head) == after.at(pos + head))
        ++head;
    while (head > 0 &&
           (splitsSurrogatePair(before, pos + head) || splitsSurrogatePair(after, pos + head)))
        --head;
    qint64 tail = 0;
    while (tail < removed - head && tail < added - head &&
           before.at(pos + removed - 1 - tail) == after.at(pos + added - 1 - tail))
        ++tail;
    while (tail > 0 && (splitsSurrogatePair(before, pos + removed - tail) ||
                        splitsSurrogatePair(after, pos + added - tail)))
        --tail;
    return {pos + head, removed - head - tail, added - head - tail};
}

bool windowExplains(const QString &before, const QString &after, qint64 pos, qint64 removed,
                    qint64 added) {
    if (before.size() - removed != after.size() - added)
        return false;
    const QStringView b(before);
    const QStringView a(after);
    return b.left(pos) == a.left(pos) && b.mid(pos + removed) == a.mid(pos + added);
}

} // namespace

TextEdit trimEditWindow(const QString &before, const QString &after, qint64 position,
                        qint64 removed, qint64 added) {
    qint64 pos = std::clamp<qint64>(position, 0, std::min(before.size(), after.size()));
    const qint64 n = std::clamp<qint64>(removed, 0, before.size() - pos);
    const qint64 r = std::clamp<qint64>(added, 0, after.size() - pos);
    if (windowExplains(before, after, pos, n, r))
        return trimInside(before, after, pos, n, r);
    return trimInside(before, after, 0, before.size(), after.size());
}

std::optional<TextEdit> replacementOfSelection(const QString &before, const QString &after,
                                               qint64 start, qint64 length) {
    if (start < 0 || length < 0 || start + length > before.size())
        return std::nullopt;
    const qint64 inserted = after.size() - before.size() + length;
    if (inserted < 0 || (inserted == 0 && length == 0))
        return std::nullopt;
    if (!windowExplains(before, after, start, length, inserted))
        return std::nullopt;
    return TextEdit{start, length, inserted};
}

} // namespace parlino
