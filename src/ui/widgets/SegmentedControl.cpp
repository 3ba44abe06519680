#include "widgets/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

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
    if (titles == this->titles()) {
        setSelectedSegment(0);
        return;
    }
    for (QAbstractButton *segment : m_group->buttons()) {
        m_group->removeButton(segment);
        delete segment;
    }
    for (int i = 0; i < titles.size(); ++i) {
        auto *segment = new QToolButton(this);
        segment->setText(titles.at(i));
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        segment->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_group->addButton(segment, i);
        layout()->addWidget(segment);
    }
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
