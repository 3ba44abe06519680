#include "widgets/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

#include <algorithm>

namespace parlino {

SegmentedControl::SegmentedControl(const QStringList &titles, QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this)) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_group->setExclusive(true);
    setTitles(titles);
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedControl::segmentClicked);
}

void SegmentedControl::setTitles(const QStringList &titles) {
    // Segments are kept and retitled where they can be, made or removed where
    // the number changes.
    QList<QAbstractButton *> segments = m_group->buttons();
    std::sort(segments.begin(), segments.end(), [this](QAbstractButton *a, QAbstractButton *b) {
        return m_group->id(a) < m_group->id(b);
    });
    while (segments.size() > titles.size()) {
        QAbstractButton *segment = segments.takeLast();
        m_group->removeButton(segment);
        delete segment;
    }
    for (qsizetype i = segments.size(); i < titles.size(); ++i) {
        auto *segment = new QToolButton(this);
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        segment->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_group->addButton(segment, int(i));
        layout()->addWidget(segment);
        segments.append(segment);
    }
    for (qsizetype i = 0; i < titles.size(); ++i)
        segments.at(i)->setText(titles.at(i));
    setSelectedSegment(0);
}

QStringList SegmentedControl::titles() const {
    QStringList result;
    for (int i = 0; i < count(); ++i)
        result.append(m_group->button(i)->text());
    return result;
}

int SegmentedControl::count() const {
    return int(m_group->buttons().size());
}

int SegmentedControl::selectedSegment() const {
    return m_group->checkedId();
}

void SegmentedControl::setSelectedSegment(int index) {
    if (QAbstractButton *segment = m_group->button(index))
        segment->setChecked(true);
}

} // namespace parlino
