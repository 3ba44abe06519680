#pragma once

#include <QWidget>

class QLabel;

namespace parlino {

// A line of small print under the voice controls while the offline engine is
// selected: how far its pitch and speed reach (and what becomes of slider
// values beyond), and what it does with the chosen voice's language, such as
// another language's voice reading it.
class OfflineNotes : public QWidget {
    Q_OBJECT
public:
    explicit OfflineNotes(QWidget *parent = nullptr);

    QLabel *rangeNote() const { return m_rangeNote; }
    QLabel *voiceNote() const { return m_voiceNote; }

    // Shows the notes for the offline engine, hides them for any other.
    // voice is the selected voice name, empty when the language has none;
    // pitch and speed are the sliders' values.
    void refresh(bool offline, const QString &voice, int pitch, int speed);

    // "Offline voice: pitch −6.3 to +8.8 semitones, speed 46% to 400%", with
    // what values beyond that sound like.
    static QString rangeText(int pitch, int speed);
    // What the listener should know about the voice offline, or an empty string.
    static QString voiceText(const QString &voice);

private:
    QLabel *m_rangeNote;
    QLabel *m_voiceNote;
};

} // namespace parlino
