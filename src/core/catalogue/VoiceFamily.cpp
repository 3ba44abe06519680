#include "catalogue/VoiceFamily.h"

#include <QStringList>

namespace parlino {

namespace VoiceFamily {

namespace {

// Families whose voices take plain text and no pitch.
const QStringList &plainTextFamilies() {
    static const QStringList families{QStringLiteral("Chirp3-HD")};
    return families;
}

bool isPlainText(const QString &family) {
    return plainTextFamilies().contains(family, Qt::CaseInsensitive);
}

} // namespace

bool takesSsml(const QString &family) {
    return !isPlainText(family);
}

bool takesPitch(const QString &family) {
    return !isPlainText(family);
}

QString ignoredNote(const QString &family) {
    if (!isPlainText(family))
        return QString();
    return QStringLiteral("%1 voices take neither effects nor pitch: the text is sent without "
                          "its effects, and the pitch slider is ignored.")
        .arg(family);
}

} // namespace VoiceFamily

} // namespace parlino
