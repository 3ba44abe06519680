#include "editing/Stepper.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace parlino {

Stepper::Stepper(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this)) {
    m_up->setObjectName(QStringLiteral("stepUp"));
    m_down->setObjectName(QStringLiteral("stepDown"));
    m_up->setToolTip(tr("Longer"));
    m_down->setToolTip(tr("Shorter"));
    for (QToolButton *button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
        button->setFixedWidth(button->fontMetrics().height() + 4);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void Stepper::setValue(int value) {
    m_value = std::clamp(value, m_minimum, m_maximum);
}

void Stepper::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

void Stepper::step(int delta) {
    setValue(m_value + delta);
    emit stepped(m_value);
}

} // namespace parlino
