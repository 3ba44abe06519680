#pragma once

#include "editing/EffectKind.h"

#include <QFrame>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace parlino {

class Stepper;

// The effect options popover: a transient pop-up next to an effect button,
// made afresh for every press. Depending on its type it offers the value
// pop-up (Emphasis, Say as, Volume, Date), the pause editor (Break) or the
// alias field (Sub), and always a delete button and a help button whose
// help text shows while the pointer is over it. It changes no spans itself:
// it posts each choice on the default NotificationCenter. The value pop-up
// starts with the value of the span it opens on, or with no item chosen;
// picking any item, also the same one again, reports it. The pause field
// posts only a length (see readPauseLength), in seconds.
class PopoverViewController : public QFrame {
    Q_OBJECT
public:
    static constexpr int shortestPause = 1; // seconds
    static constexpr int longestPause = 10;

    explicit PopoverViewController(EffectKind::Id type, QWidget *parent = nullptr);

    EffectKind::Id type() const { return m_type; }
    QStringList itemTitles() const { return m_itemTitles; }
    QStringList ssmlArray() const { return m_ssmlArray; }
    QString helpText() const { return m_helpText; }

    // Shows the value of the span the popover opens on: the chosen item, the
    // alias or the pause length.
    void setCurrentValue(const QString &value);

    // Opens the popover next to anchor: above it when the screen has room,
    // otherwise below. It closes when the user clicks elsewhere or presses Escape.
    void showNextTo(QWidget *anchor);

    // Actions of the controls; each posts one notification.
    void popUpButtonClick();
    void stepperViewClick();
    void deleteButtonClick();
    void textFieldReturn();
    void subTextFieldReturn();

    QComboBox *popUpButton() const { return m_popUpButton; }
    QWidget *customView() const { return m_customView; }
    QLineEdit *textField() const { return m_textField; }
    Stepper *stepperView() const { return m_stepperView; }
    QLineEdit *subTextField() const { return m_subTextField; }
    QPushButton *deleteButton() const { return m_deleteButton; }
    QToolButton *helpButton() const { return m_helpButton; }
    // Why the pause field's text was refused; hidden while it holds a length.
    QLabel *refusalLabel() const { return m_refusalLabel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void post(const QString &name, const QVariant &itemTitle);
    void showHelp();
    void showRefusal(const QString &reason);

    EffectKind::Id m_type;
    QString m_helpText;
    QStringList m_itemTitles;
    QStringList m_ssmlArray;
    QComboBox *m_popUpButton;
    QWidget *m_customView;
    QLineEdit *m_textField;
    Stepper *m_stepperView;
    QLineEdit *m_subTextField;
    QPushButton *m_deleteButton;
    QToolButton *m_helpButton;
    QLabel *m_refusalLabel;
};

} // namespace parlino
