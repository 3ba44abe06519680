#include "editing/PopoverViewController.h"

#include "editing/EffectKind.h"
#include "editing/NotificationCenter.h"
#include "editing/PauseLength.h"
#include "editing/Stepper.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>

namespace parlino {

PopoverViewController::PopoverViewController(EffectKind::Id type, QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_type(type)
    , m_popUpButton(new QComboBox(this))
    , m_customView(new QWidget(this))
    , m_textField(new QLineEdit(m_customView))
    , m_stepperView(new Stepper(m_customView))
    , m_subTextField(new QLineEdit(this))
    , m_deleteButton(new QPushButton(tr("Delete"), this))
    , m_helpButton(new QToolButton(this))
    , m_refusalLabel(new QLabel(this)) {
    setObjectName(QStringLiteral("PopoverViewController"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    m_popUpButton->setObjectName(QStringLiteral("popUpButton"));
    m_customView->setObjectName(QStringLiteral("customView"));
    m_textField->setObjectName(QStringLiteral("textField"));
    m_stepperView->setObjectName(QStringLiteral("stepperView"));
    m_subTextField->setObjectName(QStringLiteral("subTextField"));
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    m_helpButton->setObjectName(QStringLiteral("helpButton"));

    const EffectKind &kind = EffectKind::byId(m_type);
    m_helpText = kind.helpText;
    const bool hasValueList = kind.id == EffectKind::Volume || kind.id == EffectKind::SayAs;
    for (const EffectOption &option : kind.options) {
        m_itemTitles << option.title;
        if (hasValueList)
            m_ssmlArray << option.value;
    }
    m_popUpButton->addItems(m_itemTitles);
    // Nothing is chosen until the user picks: a shown first item would look applied.
    m_popUpButton->setPlaceholderText(tr("Choose a value…"));
    m_popUpButton->setCurrentIndex(-1);
    m_popUpButton->setVisible(!m_itemTitles.isEmpty());
    const bool isBreak = kind.id == EffectKind::Break;
    const bool isSub = kind.id == EffectKind::Sub;
    m_customView->setVisible(isBreak);
    m_subTextField->setVisible(isSub);

    m_stepperView->setRange(shortestPause, longestPause);
    m_stepperView->setValue(1);
    m_textField->setText(QStringLiteral("1s"));
    m_textField->setToolTip(tr("Pause in seconds (1.5, 2s or 500ms, up to 60 s); press Return "
                               "to set it"));
    m_subTextField->setPlaceholderText(tr("Say this instead, then press Return"));
    // Wide enough for its whole placeholder.
    m_subTextField->setMinimumWidth(
        m_subTextField->fontMetrics().horizontalAdvance(m_subTextField->placeholderText()) + 24);
    m_refusalLabel->setObjectName(QStringLiteral("refusalLabel"));
    m_refusalLabel->setVisible(false);
    m_refusalLabel->setStyleSheet(QStringLiteral("color: #c0392b"));
    m_helpButton->setText(QStringLiteral("?"));
    m_helpButton->setToolTip(m_helpText);
    // Reachable with Tab; Space shows the help as the pointer does.
    m_helpButton->setFocusPolicy(Qt::StrongFocus);

    m_popUpButton->setAccessibleName(tr("%1 value").arg(kind.name));
    m_textField->setAccessibleName(tr("Pause length"));
    m_stepperView->setAccessibleName(tr("Pause length in whole seconds"));
    m_stepperView->upButton()->setAccessibleName(tr("Longer pause"));
    m_stepperView->downButton()->setAccessibleName(tr("Shorter pause"));
    m_subTextField->setAccessibleName(tr("Alias"));
    m_deleteButton->setAccessibleName(tr("Delete the %1 effect").arg(kind.name));
    m_helpButton->setAccessibleName(tr("Help"));
    m_helpButton->setAccessibleDescription(m_helpText);
    m_helpButton->installEventFilter(this);
    m_deleteButton->setToolTip(tr("Remove the effect at the caret"));
    m_deleteButton->setAutoDefault(false);
    buildLayout();

    connect(m_popUpButton, &QComboBox::activated, this, &PopoverViewController::popUpButtonClick);
    connect(m_stepperView, &Stepper::stepped, this, &PopoverViewController::stepperViewClick);
    connect(m_deleteButton, &QPushButton::clicked, this, &PopoverViewController::deleteButtonClick);
    connect(m_textField, &QLineEdit::returnPressed, this, &PopoverViewController::textFieldReturn);
    connect(m_textField, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (readPauseLength(text, locale()))
            showRefusal(QString());
    });
    connect(m_helpButton, &QToolButton::clicked, this, &PopoverViewController::showHelp);
    connect(m_subTextField, &QLineEdit::returnPressed, this,
            &PopoverViewController::subTextFieldReturn);
}

void PopoverViewController::buildLayout() {
    auto *title = new QLabel(EffectKind::byId(m_type).name, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto *pause = new QHBoxLayout(m_customView);
    pause->setContentsMargins(0, 0, 0, 0);
    pause->setSpacing(4);
    pause->addWidget(new QLabel(tr("Pause"), m_customView));
    m_textField->setMaximumWidth(m_textField->fontMetrics().horizontalAdvance(u'0') * 8);
    pause->addWidget(m_textField);
    // As tall as the field, like the arrows of a spin box.
    m_stepperView->setFixedHeight(m_textField->sizeHint().height());
    pause->addWidget(m_stepperView);
    pause->addStretch(1);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(8);
    layout->addWidget(title, 0, 0);
    layout->addWidget(m_helpButton, 0, 1, Qt::AlignRight);
    layout->addWidget(m_popUpButton, 1, 0, 1, 2);
    layout->addWidget(m_customView, 2, 0, 1, 2);
    layout->addWidget(m_refusalLabel, 5, 0, 1, 2);
    layout->addWidget(m_subTextField, 3, 0, 1, 2);
    layout->addWidget(m_deleteButton, 4, 0, 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(0, 1);
    setMinimumWidth(fontMetrics().averageCharWidth() * 28);
}

void PopoverViewController::showNextTo(QWidget *anchor) {
    adjustSize();
    const QSize size = this->size();
    const QPoint top = anchor->mapToGlobal(QPoint(anchor->width() / 2, 0));
    const QPoint bottom = anchor->mapToGlobal(QPoint(anchor->width() / 2, anchor->height()));
    QScreen *screen = anchor->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(top, size);
    QPoint at(top.x() - size.width() / 2, top.y() - size.height() - 2);
    if (at.y() < area.top())
        at.setY(bottom.y() + 2);
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    move(at);
    show();
    if (m_subTextField->isVisible())
        m_subTextField->setFocus();
    else if (m_popUpButton->isVisible())
        m_popUpButton->setFocus();
    else if (m_customView->isVisible())
        m_textField->setFocus();
}

void PopoverViewController::popUpButtonClick() {
    const int i = m_popUpButton->currentIndex();
    if (i < 0)
        return;
    const QString value =
        i < m_ssmlArray.size() ? m_ssmlArray.at(i) : m_popUpButton->itemText(i).toLower();
    post(Notifications::popUpSelectedReturn, value);
}

void PopoverViewController::stepperViewClick() {
    const int seconds = m_stepperView->value();
    m_textField->setText(QStringLiteral("%1s").arg(seconds));
    post(Notifications::breakValueReturn, seconds);
}

void PopoverViewController::deleteButtonClick() {
    post(Notifications::deleteEffects, m_deleteButton->text().toLower());
}

void PopoverViewController::textFieldReturn() {
    QString reason;
    const auto seconds = readPauseLength(m_textField->text(), locale(), &reason);
    if (!seconds) {
        // Refused in the field: the pause keeps its length.
        reason[0] = reason.at(0).toUpper();
        showRefusal(reason + u'.');
        return;
    }
    showRefusal(QString());
    post(Notifications::breakValueReturn, *seconds);
}

void PopoverViewController::showRefusal(const QString &reason) {
    m_refusalLabel->setText(reason);
    m_refusalLabel->setVisible(!reason.isEmpty());
    m_textField->setStyleSheet(reason.isEmpty() ? QString()
                                                : QStringLiteral("border: 2px solid #c0392b"));
    adjustSize();
}

void PopoverViewController::setCurrentValue(const QString &value) {
    if (m_type == EffectKind::Break) {
        m_textField->setText(value + u's');
        m_stepperView->setValue(qRound(value.toDouble()));
        return;
    }
    if (m_type == EffectKind::Sub) {
        m_subTextField->setText(value);
        return;
    }
    // The first item with this value ("verbatim" is offered twice).
    const EffectKind &kind = EffectKind::byId(m_type);
    for (int i = 0; i < kind.options.size(); ++i) {
        if (kind.options.at(i).value == value) {
            m_popUpButton->setCurrentIndex(i);
            return;
        }
    }
}

void PopoverViewController::showHelp() {
    QToolTip::showText(mapToGlobal(QPoint(0, height() - 12)), m_helpText, m_helpButton);
}

void PopoverViewController::subTextFieldReturn() {
    // As typed: an alias "US" is read as letters, "us" as the word.
    post(Notifications::popUpSelectedReturn, m_subTextField->text());
}

void PopoverViewController::post(const QString &name, const QVariant &itemTitle) {
    NotificationCenter::defaultCenter().post(
        name, {{Notifications::itemTitleKey, itemTitle}, {Notifications::effectsKey, int(m_type)}});
}

bool PopoverViewController::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_helpButton) {
        if (event->type() == QEvent::Enter) {
            // Under the popover, so it covers none of the popover's controls.
            showHelp();
            return false;
        }
        if (event->type() == QEvent::Leave)
            QToolTip::hideText();
        if (event->type() == QEvent::ToolTip)
            return true; // already showing
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace parlino
