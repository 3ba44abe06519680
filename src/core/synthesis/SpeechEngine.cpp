#include "synthesis/SpeechEngine.h"

#include <QPointer>
#include <QTimer>

namespace parlino {

SpeechEngine::SpeechEngine(QObject *parent)
    : QObject(parent) {}

SpeechEngine::~SpeechEngine() = default;

void SpeechEngine::synthesizeTimed(const QJsonObject &request, TimedCompletion done) {
    synthesize(request, [done = std::move(done)](const QByteArray &mp3, const SpeechError &error) {
        done(mp3, {}, -1.0, error);
    });
}

SpeechPreviewCancel SpeechEngine::preview(const QJsonObject &request,
                                          SpeechPreviewHandlers handlers) {
    Q_UNUSED(request);
    QTimer::singleShot(0, this, [ended = std::move(handlers.ended)] {
        ended({SpeechError::NoEngine, QStringLiteral("This speech engine cannot play.")});
    });
    return [] {};
}

} // namespace parlino
