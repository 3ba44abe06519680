#include "editing/EditTracker.h"

// Interim: declarations agreed, tracking still to come.
QString EditTracker::statistics(const QString &) {
    return {};
}
qint64 EditTracker::characterCount(const QString &text) {
    return text.size() - text.count(u' ');
}
EditTrackingResult EditTracker::track(EffectsArray &, const TextEdit &, qint64, const QString &) {
    return {};
}
