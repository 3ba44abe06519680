#pragma once

#include <QWidget>

class QToolButton;

namespace parlino {

// A pair of small up and down arrows that step a whole number within a range,
// like a spin box without its text. Each click (and each auto-repeat) emits
// stepped() with the new value, also when the value sits at a limit.
class Stepper : public QWidget {
    Q_OBJECT
public:
    explicit Stepper(QWidget *parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void stepped(int value);

private:
    void step(int delta);

    QToolButton *m_up;
    QToolButton *m_down;
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 99;
};

} // namespace parlino
