#include "document/ParlinoDocument.h"

#include "editing/EffectKind.h"
#include "editing/PauseLength.h"
#include "editing/SpanLookup.h"
#include "output/SaveFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <climits>
#include <cmath>

namespace parlino {

namespace {

void setError(QString *error, const QString &message) {
    if (error)
        *error = message;
}

std::optional<qint64> wholeNumber(const QJsonValue &value) {
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9007199254740992.0)
        return std::nullopt;
    return qint64(d);
}

std::optional<QString> decodeUtf8(const QByteArray &bytes, QString *error) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        setError(error, QStringLiteral("not valid UTF-8 text"));
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

std::optional<SSMLCharactersModel> readEffect(const QJsonValue &value, qsizetype index,
                                              qint64 textLength, QString *error) {
    const QString where = QStringLiteral("effect %1: ").arg(index + 1);
    if (!value.isObject()) {
        setError(error, where + QStringLiteral("not a JSON object"));
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    const QString name = object.value(QLatin1String("effect")).toString();
    const EffectKind *kind = EffectKind::find(name);
    if (!kind) {
        setError(error, where + QStringLiteral("unknown effect \"%1\"").arg(name));
        return std::nullopt;
    }
    const auto location = wholeNumber(object.value(QLatin1String("location")));
    const auto length = wholeNumber(object.value(QLatin1String("length")));
    if (!location || !length) {
        setError(error,
                 where + QStringLiteral("\"location\" and \"length\" must be whole numbers"));
        return std::nullopt;
    }
    if (*location < 0 || *length < 0 || *location + *length > textLength) {
        setError(error, where + QStringLiteral("span %1+%2 lies outside the text (%3 characters)")
                                    .arg(*location)
                                    .arg(*length)
                                    .arg(textLength));
        return std::nullopt;
    }
    const QJsonValue tag = object.value(QLatin1String("value"));
    SSMLCharactersModel span;
    span.location = *location;
    span.length = *length;
    span.effects = kind->name;
    span.color = kind->color();
    if (kind->id == EffectKind::Time) // "hms24" or the plain "time" of older documents
        span.ssmlTag = EffectKind::timeValue(tag.toString() == QLatin1String("hms24"));
    else if (tag.isDouble())
        span.ssmlTag = QString::number(tag.toDouble());
    else if (tag.isString() || tag.isUndefined() || tag.isNull())
        span.ssmlTag = tag.toString();
    else {
        setError(error, where + QStringLiteral("\"value\" must be a string"));
        return std::nullopt;
    }
    if (kind->id == EffectKind::Break) {
        // A pause that is no length would reach the engines as time='abcs',
        // which each reads differently.
        QString reason;
        const auto seconds = readPauseLength(span.ssmlTag, QLocale::c(), &reason);
        if (!seconds) {
            setError(error,
                     where + QStringLiteral("Break value \"%1\": %2").arg(span.ssmlTag, reason));
            return std::nullopt;
        }
        span.ssmlTag = *seconds;
    }
    return span;
}

bool readOptionalInt(const QJsonObject &object, const char *key, std::optional<int> &out,
                     QString *error) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return true;
    const auto number = wholeNumber(value);
    if (!number || *number < INT_MIN || *number > INT_MAX) {
        setError(error, QStringLiteral("\"%1\" must be a whole number").arg(QLatin1String(key)));
        return false;
    }
    out = int(*number);
    return true;
}

std::optional<ParlinoDocument> fromJsonObject(const QJsonObject &object, QString *error) {
    const QJsonValue text = object.value(QLatin1String("text"));
    if (!text.isString()) {
        setError(error, text.isUndefined() ? QStringLiteral("missing \"text\"")
                                           : QStringLiteral("\"text\" must be a string"));
        return std::nullopt;
    }
    ParlinoDocument document;
    document.text = text.toString();
    const QJsonValue effects = object.value(QLatin1String("effects"));
    if (!effects.isUndefined() && !effects.isNull() && !effects.isArray()) {
        setError(error, QStringLiteral("\"effects\" must be a list"));
        return std::nullopt;
    }
    const QJsonArray list = effects.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        auto span = readEffect(list.at(i), i, document.text.size(), error);
        if (!span)
            return std::nullopt;
        document.effects.append(*span);
    }
    const QJsonValue voice = object.value(QLatin1String("voice"));
    if (voice.isString())
        document.voice = voice.toString();
    else if (!voice.isUndefined() && !voice.isNull()) {
        setError(error, QStringLiteral("\"voice\" must be a string"));
        return std::nullopt;
    }
    if (!readOptionalInt(object, "pitch", document.pitch, error) ||
        !readOptionalInt(object, "speed", document.speed, error))
        return std::nullopt;
    return document;
}

} // namespace

bool ParlinoDocument::isJsonPath(const QString &path) {
    return path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

std::optional<ParlinoDocument> ParlinoDocument::fromBytes(const QByteArray &bytes, bool json,
                                                          QString *error) {
    if (!json) {
        auto text = decodeUtf8(bytes, error);
        if (!text)
            return std::nullopt;
        ParlinoDocument document;
        document.text = *text;
        return document;
    }
    QJsonParseError parseError;
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setError(error, QStringLiteral("not valid JSON: %1 at byte %2")
                            .arg(parseError.errorString())
                            .arg(parseError.offset));
        return std::nullopt;
    }
    if (!parsed.isObject()) {
        setError(error, QStringLiteral("not a JSON object"));
        return std::nullopt;
    }
    return fromJsonObject(parsed.object(), error);
}

std::optional<ParlinoDocument> ParlinoDocument::read(QIODevice &device, bool json, QString *error) {
    return fromBytes(device.readAll(), json, error);
}

std::optional<ParlinoDocument> ParlinoDocument::load(const QString &path, QString *error) {
    QFile file;
    const bool standardInput = path == QLatin1String("-");
    const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly)
                                      : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    return read(file, !standardInput && isJsonPath(path), error);
}

QByteArray ParlinoDocument::toJson() const {
    QJsonObject object;
    object.insert(QLatin1String("text"), text);
    QJsonArray list;
    for (const SSMLCharactersModel &span : effects) {
        QJsonObject item;
        item.insert(QLatin1String("effect"), span.effects);
        item.insert(QLatin1String("location"), span.location);
        item.insert(QLatin1String("length"), span.length);
        item.insert(QLatin1String("value"), span.ssmlTag);
        list.append(item);
    }
    object.insert(QLatin1String("effects"), list);
    if (voice)
        object.insert(QLatin1String("voice"), *voice);
    if (pitch)
        object.insert(QLatin1String("pitch"), *pitch);
    if (speed)
        object.insert(QLatin1String("speed"), *speed);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool ParlinoDocument::save(const QString &path, QString *error) const {
    return SaveFile::save(path, isJsonPath(path) ? toJson() : text.toUtf8(), error);
}

} // namespace parlino
