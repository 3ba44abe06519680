#include "editing/EffectApplier.h"

// Interim: declarations agreed, behaviour still to come.
void EffectApplier::apply(EffectsArray &, qint64, qint64, const QString &, const QColor &,
                          const QString &) {}
bool EffectApplier::pauseGoesIn(const EffectsArray &, qint64) {
    return true;
}
SSMLCharactersModel EffectApplier::makePause(qint64 caret) {
    SSMLCharactersModel p;
    p.location = caret;
    p.length = 1;
    p.effects = QStringLiteral("Break");
    p.ssmlTag = QStringLiteral("1");
    return p;
}
int EffectApplier::setPauseValue(EffectsArray &, qint64, const QVariant &) {
    return 0;
}
std::optional<SSMLCharactersModel> EffectApplier::deleteAt(EffectsArray &, qint64) {
    return {};
}
