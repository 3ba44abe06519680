#pragma once

#include <QLabel>
#include <QMap>

namespace parlino {

// A word-wrapped label that remembers its height for the widths it was asked
// about: while a window's layouts settle they ask the same few widths again
// and again, and QLabel lays its text out anew for every question.
class WrappedLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappedLabel(QWidget *parent = nullptr);

    int heightForWidth(int width) const override;

protected:
    void changeEvent(QEvent *event) override;

private:
    // Heights by width, for m_heightsText in the current font and style.
    mutable QMap<int, int> m_heights;
    mutable QString m_heightsText;
};

} // namespace parlino
