#include "widgets/PopUpButton.h"

#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>

namespace parlino {

PopUpButton::PopUpButton(int characters, QWidget *parent)
    : QComboBox(parent)
    , m_characters(characters) {}

QSize PopUpButton::sizeHint() const {
    // The text area as Qt sizes it for a minimum contents length; the style
    // adds the frame and the arrow.
    const QFontMetricsF metrics(font());
    const QSize text(int(std::ceil(m_characters * metrics.horizontalAdvance(u'X'))),
                     std::max(int(std::ceil(metrics.height())), 14) + 2);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
}

QSize PopUpButton::minimumSizeHint() const {
    return sizeHint();
}

} // namespace parlino
