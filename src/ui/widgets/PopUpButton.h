#pragma once

#include <QComboBox>

namespace parlino {

// A combo box as wide as a number of characters, whatever its items say. Qt
// measures every item (a long list of languages) or, when told a length,
// builds the whole pop-up list at once; this one computes its size alone.
class PopUpButton : public QComboBox {
    Q_OBJECT
public:
    PopUpButton(int characters, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int m_characters;
};

} // namespace parlino
