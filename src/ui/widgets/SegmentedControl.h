#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;

namespace parlino {

// A row of joined, mutually exclusive toggle buttons. Clicking a segment
// selects it and emits segmentClicked(), also when it was selected already.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(const QStringList &titles, QWidget *parent = nullptr);

    // Replaces the segments; the first is selected.
    void setTitles(const QStringList &titles);
    QStringList titles() const;

    int count() const;
    int selectedSegment() const;
    void setSelectedSegment(int index);

signals:
    void segmentClicked(int index);

private:
    QButtonGroup *m_group;
};

} // namespace parlino
