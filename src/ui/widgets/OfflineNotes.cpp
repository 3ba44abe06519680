#include "widgets/OfflineNotes.h"

#include "catalogue/DataSource.h"
#include "synthesis/SynthesisRequest.h"
#include "synthesis/offline/OfflineVoice.h"
#include "widgets/WrappedLabel.h"

#include <QHBoxLayout>
#include <QLabel>

#include <cmath>

namespace parlino {

namespace {

// A number as the editor shows it, with a real minus sign, and a plus sign
// when asked: "−6.3", "+8.8".
QString signedNumber(double value, bool plus) {
    QString text = QString::number(std::abs(value), 'g', 3);
    if (value < 0)
        text.prepend(QChar(0x2212));
    else if (plus && value > 0)
        text.prepend(u'+');
    return text;
}

QString percent(double rate) {
    return QStringLiteral("%1%").arg(std::lround(rate * 100));
}

} // namespace

OfflineNotes::OfflineNotes(QWidget *parent)
    : QWidget(parent)
    , m_rangeNote(new WrappedLabel(this))
    , m_voiceNote(new WrappedLabel(this)) {
    setObjectName(QStringLiteral("offlineNotes"));
    m_rangeNote->setObjectName(QStringLiteral("offlineRangeNote"));
    m_voiceNote->setObjectName(QStringLiteral("offlineVoiceNote"));
    m_voiceNote->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Set apart by their colour, in the window's own font: a smaller size
    // would be one more font to load and rasterise before the first paint.
    for (QLabel *label : {m_rangeNote, m_voiceNote})
        label->setForegroundRole(QPalette::PlaceholderText);
    // Wrapped rather than widening the window: the editor must still fit a
    // small or strongly scaled screen.
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_rangeNote, 3);
    row->addWidget(m_voiceNote, 2);
}

void OfflineNotes::refresh(bool offline, const QString &voice, int pitch, int speed) {
    setVisible(offline);
    if (!offline)
        return;
    m_rangeNote->setText(rangeText(pitch, speed));
    const QString note = voiceText(voice);
    m_voiceNote->setText(note);
    m_voiceNote->setVisible(!note.isEmpty());
}

QString OfflineNotes::rangeText(int pitch, int speed) {
    const double minPitch = OfflineProsody::minPitch();
    const double maxPitch = OfflineProsody::maxPitch();
    const double minRate = OfflineProsody::minSpeakingRate();
    const double maxRate = OfflineProsody::maxSpeakingRate();
    QString text = tr("Offline voice: pitch %1 to %2 semitones, speed %3 to %4")
                       .arg(signedNumber(minPitch, false), signedNumber(maxPitch, true),
                            percent(minRate), percent(maxRate));
    // The request reads the sliders as whole numbers; so does this.
    QStringList beyond;
    const double semitones = SynthesisRequest::sliderInteger(pitch);
    if (semitones < minPitch || semitones > maxPitch)
        beyond << tr("pitch %1 sounds as %2")
                      .arg(signedNumber(semitones, true),
                           signedNumber(semitones < minPitch ? minPitch : maxPitch, true));
    const double rate = SynthesisRequest::sliderInteger(speed) / 100.0;
    if (rate < minRate || rate > maxRate)
        beyond << tr("speed %1 sounds as %2")
                      .arg(percent(rate), percent(rate < minRate ? minRate : maxRate));
    if (!beyond.isEmpty())
        text += QStringLiteral(" (%1)").arg(beyond.join(QStringLiteral(", ")));
    return text;
}

QString OfflineNotes::voiceText(const QString &voice) {
    if (voice.isEmpty())
        return QString();
    return OfflineVoice::forVoice(DataSource::languageCodeOfVoice(voice), voice).note;
}

} // namespace parlino
