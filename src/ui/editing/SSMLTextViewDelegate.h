#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace parlino {

class SSMLTextView;

// Receives every edit of an SSMLTextView after it has happened: the replaced
// ranges (location, length) in the text before the edit, the strings that
// replaced them, and the whole text after the edit. Offsets are UTF-16 code
// units. The view reports one range per edit.
class SSMLTextViewDelegate {
public:
    virtual void returnDidChangeTextView(SSMLTextView *textView,
                                         const QList<std::pair<qint64, qint64>> &affectedRanges,
                                         const QStringList &replacementStrings,
                                         const QString &textViewString) = 0;

protected:
    ~SSMLTextViewDelegate() = default;
};

} // namespace parlino
