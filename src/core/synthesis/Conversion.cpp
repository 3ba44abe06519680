#include "synthesis/Conversion.h"

#include "Logging.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/SynthesisRequest.h"

#include <QTimer>

namespace parlino {

Conversion::Conversion(SpeechEngine *engine, QObject *parent)
    : QObject(parent) {
    setEngine(engine);
}

void Conversion::setEngine(SpeechEngine *engine) {
    m_engine = engine;
    if (engine)
        connect(engine, &QObject::destroyed, this, &Conversion::engineDestroyed,
                Qt::UniqueConnection);
}

SpeechEngine *Conversion::engine() const {
    return m_engine;
}

QString Conversion::refusal(const ConversionInput &input) {
    if (input.text.isEmpty())
        return QStringLiteral("Text not empty!");
    if (input.voice.isEmpty())
        return QStringLiteral("The cloud service has no voice for this language. Choose another "
                              "language, or the offline voice, which speaks it.");
    if (!SynthesisRequest::isUsableVoiceName(input.voice))
        return QStringLiteral("\"%1\" is not a voice name.").arg(input.voice);
    return QString();
}

QJsonObject Conversion::request(const ConversionInput &input) {
    const QString ssmlString = input.ssml ? *input.ssml : assembleSsml(input.text, input.spans);
    qCDebug(lcSynthesis, "%s", qUtf8Printable(ssmlString));
    return SynthesisRequest::body(input.text, ssmlString, input.voice, input.pitch, input.speed);
}

void Conversion::start(const ConversionInput &input, const AudioDestination &destination,
                       Done done) {
    ConversionResult refused;
    refused.status = ConversionResult::Refused;
    refused.error = {SpeechError::Refused, refusal(input)};
    if (refused.error.message.isEmpty() && !m_engine) {
        refused.status = ConversionResult::Failed;
        refused.error = {SpeechError::NoEngine, QStringLiteral("No speech engine is available.")};
    }
    if (!refused.error.message.isEmpty()) {
        reportLater(refused, done);
        return;
    }

    const quint64 id = m_nextId++;
    const bool wasBusy = isBusy();
    m_running.insert(id, Running{m_engine.data(), destination, std::move(done)});
    if (!wasBusy)
        emit busyChanged(true);
    m_engine->synthesize(request(input), [self = QPointer<Conversion>(this),
                                          id](const QByteArray &mp3, const SpeechError &error) {
        if (self)
            self->synthesized(id, mp3, error);
    });
}

void Conversion::synthesized(quint64 id, const QByteArray &mp3, const SpeechError &error) {
    const auto it = m_running.find(id);
    if (it == m_running.end())
        return;
    const Running running = it.value();
    m_running.erase(it);
    if (!isBusy())
        emit busyChanged(false);

    ConversionResult result;
    if (error.isError()) {
        result.error = error;
    } else {
        const AudioFileOutput::Result written = running.destination.write(mp3);
        result.path = written.path;
        if (!written.error.isEmpty())
            result.error = {SpeechError::Write, written.error};
        if (written.status == AudioFileOutput::Result::Saved)
            result.status = ConversionResult::Saved;
        else if (written.status == AudioFileOutput::Result::Cancelled)
            result.status = ConversionResult::Cancelled;
    }
    report(result, running.done);
}

void Conversion::engineDestroyed(QObject *engine) {
    QList<Running> ended;
    for (auto it = m_running.begin(); it != m_running.end();) {
        if (it->engine == engine) {
            ended.append(it.value());
            it = m_running.erase(it);
        } else {
            ++it;
        }
    }
    if (ended.isEmpty())
        return;
    if (!isBusy())
        emit busyChanged(false);
    ConversionResult result;
    result.error = {SpeechError::NoEngine, QStringLiteral("The conversion was cancelled.")};
    for (const Running &running : ended)
        report(result, running.done);
}

void Conversion::report(const ConversionResult &result, const Done &done) {
    switch (result.status) {
    case ConversionResult::Saved:
        emit saved(result.path);
        break;
    case ConversionResult::Refused:
    case ConversionResult::Failed:
        emit failed(result.error);
        break;
    case ConversionResult::Cancelled:
        break;
    }
    emit finished(result);
    if (done)
        done(result);
}

void Conversion::reportLater(const ConversionResult &result, const Done &done) {
    QTimer::singleShot(0, this, [this, result, done] { report(result, done); });
}

} // namespace parlino
