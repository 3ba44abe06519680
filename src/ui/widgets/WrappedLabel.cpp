#include "widgets/WrappedLabel.h"

#include <QEvent>

namespace parlino {

namespace {

// A few widths are asked while a layout settles; more means the window is
// being resized, where old answers are of no further use.
constexpr int rememberedWidths = 8;

} // namespace

WrappedLabel::WrappedLabel(QWidget *parent)
    : QLabel(parent) {
    setWordWrap(true);
}

int WrappedLabel::heightForWidth(int width) const {
    if (text() != m_heightsText || m_heights.size() >= rememberedWidths) {
        m_heights.clear();
        m_heightsText = text();
    }
    const auto found = m_heights.constFind(width);
    if (found != m_heights.constEnd())
        return *found;
    const int height = QLabel::heightForWidth(width);
    m_heights.insert(width, height);
    return height;
}

void WrappedLabel::changeEvent(QEvent *event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::ContentsRectChange:
        m_heights.clear();
        break;
    default:
        break;
    }
    QLabel::changeEvent(event);
}

} // namespace parlino
