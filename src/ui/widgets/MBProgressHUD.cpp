#include "widgets/MBProgressHUD.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QMainWindow>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadialGradient>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace parlino {

namespace {

constexpr int margin = 20;
constexpr int spinnerSize = 60;
constexpr int lineGap = 6;
constexpr qreal panelOpacity = 0.8;
constexpr qreal cornerRadius = 10;
constexpr qreal dimOpacity = 0.75;
constexpr int spinnerSpokes = 12;

// The content of a window: a main window's central widget, or the window.
QWidget *contentView(QWidget *window) {
    if (auto *main = qobject_cast<QMainWindow *>(window); main && main->centralWidget())
        return main->centralWidget();
    return window;
}

} // namespace

MBProgressHUD::MBProgressHUD(QWidget *host)
    : QWidget(host)
    , m_spinnerTimer(new QTimer(this))
    , m_hideTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("MBProgressHUD"));
    setAttribute(Qt::WA_TranslucentBackground);
    QWidget::hide();
    m_spinnerTimer->setInterval(80);
    connect(m_spinnerTimer, &QTimer::timeout, this, [this] {
        m_spinnerStep = (m_spinnerStep + 1) % spinnerSpokes;
        update(panelRect());
    });
    m_hideTimer->setSingleShot(true);
    connect(m_hideTimer, &QTimer::timeout, this, [this] { hideAnimated(m_delayedHideAnimated); });
    if (host) {
        setGeometry(host->rect());
        host->installEventFilter(this);
    }
}

void MBProgressHUD::showBrief(const QString &text, QWidget *view) {
    // Where the user is looking; when no window of ours is active (the user
    // switched away while waiting), the window of the given view.
    QWidget *host = contentView(QApplication::activeWindow());
    if (!host && view && view->window()->isVisible())
        host = contentView(view->window());
    if (!host)
        return;
    auto *hud = new MBProgressHUD(host);
    hud->m_labelText = text;
    hud->setMode(Mode::CustomView);
    hud->m_removeFromSuperViewOnHide = true;
    hud->showAnimated(true);
    hud->hideAnimated(true, briefMessageMilliseconds);
}

void MBProgressHUD::showSuccess(const QString &text, QWidget *view) {
    showBrief(text, view);
}

void MBProgressHUD::showError(const QString &text, QWidget *view) {
    showBrief(text, view);
}

MBProgressHUD *MBProgressHUD::showMessage(const QString &text, QWidget *view) {
    if (!view)
        return nullptr;
    auto *hud = new MBProgressHUD(view);
    hud->m_alphaValue = 0.7;
    hud->m_detailsLabelText = text;
    hud->m_removeFromSuperViewOnHide = true;
    hud->m_dimBackground = true;
    hud->showAnimated(true);
    return hud;
}

void MBProgressHUD::setProgressText(const QString &text) {
    if (text == m_progressText)
        return;
    m_progressText = text;
    placeCancelButton();
    update();
}

void MBProgressHUD::setCancelAction(std::function<void()> cancel) {
    if (!m_cancelButton) {
        m_cancelButton = new QPushButton(tr("Cancel"), this);
        m_cancelButton->setAccessibleName(tr("Cancel the conversion"));
        // Esc cancels wherever the focus is in the window.
        m_cancelButton->setShortcut(QKeySequence(Qt::Key_Escape));
    }
    m_cancelButton->disconnect(this);
    connect(m_cancelButton, &QPushButton::clicked, this, [this, cancel = std::move(cancel)] {
        if (!m_hiding)
            cancel();
    });
    placeCancelButton();
    m_cancelButton->show();
}

// Under the lines of text, inside the panel.
void MBProgressHUD::placeCancelButton() {
    if (!m_cancelButton)
        return;
    const QRect panel = panelRect();
    const QSize size = m_cancelButton->sizeHint();
    m_cancelButton->setGeometry(panel.center().x() - size.width() / 2,
                                panel.bottom() + 1 - margin - size.height(), size.width(),
                                size.height());
}

void MBProgressHUD::showAnimated(bool animated) {
    m_hiding = false;
    m_hideTimer->stop();
    if (QWidget *host = parentWidget())
        setGeometry(host->rect());
    raise();
    QWidget::show();
    if (m_mode == Mode::Indeterminate)
        m_spinnerTimer->start();
    fadeTo(1.0, animated);
}

void MBProgressHUD::hideAnimated(bool animated) {
    m_hiding = true;
    m_hideTimer->stop();
    fadeTo(0.0, animated);
}

void MBProgressHUD::hideAnimated(bool animated, int delayMilliseconds) {
    m_delayedHideAnimated = animated;
    m_hideTimer->start(delayMilliseconds);
}

void MBProgressHUD::setMode(Mode mode) {
    m_mode = mode;
    if (m_mode == Mode::Indeterminate && isVisible())
        m_spinnerTimer->start();
    else
        m_spinnerTimer->stop();
    update();
}

void MBProgressHUD::setFade(qreal fade) {
    m_fade = fade;
    update();
}

void MBProgressHUD::fadeTo(qreal target, bool animated) {
    if (m_animation)
        m_animation->stop();
    if (!animated) {
        setFade(target);
        if (target == 0.0)
            finishHiding();
        return;
    }
    auto *animation = new QPropertyAnimation(this, "fade", this);
    animation->setDuration(fadeMilliseconds);
    animation->setStartValue(m_fade);
    animation->setEndValue(target);
    if (target == 0.0)
        connect(animation, &QPropertyAnimation::finished, this, &MBProgressHUD::finishHiding);
    m_animation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void MBProgressHUD::finishHiding() {
    m_spinnerTimer->stop();
    QWidget::hide();
    if (m_removeFromSuperViewOnHide)
        deleteLater();
}

QFont MBProgressHUD::labelFont() const {
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(16);
    return f;
}

QFont MBProgressHUD::detailsFont() const {
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(12);
    return f;
}

QRect MBProgressHUD::panelRect() const {
    const QFontMetrics label(labelFont());
    const QFontMetrics details(detailsFont());
    int width = m_mode == Mode::Indeterminate ? spinnerSize : 0;
    int height = width;
    const auto addLine = [&](const QString &text, const QFontMetrics &metrics) {
        if (text.isEmpty())
            return;
        // One pixel of slack: advances are rounded, and a tight fit gets elided.
        width = std::max(width, metrics.horizontalAdvance(text) + 1);
        height += (height > 0 ? lineGap : 0) + metrics.height();
    };
    addLine(m_labelText, label);
    addLine(m_detailsLabelText, details);
    addLine(m_progressText, details);
    if (m_cancelButton) {
        const QSize button = m_cancelButton->sizeHint();
        width = std::max(width, button.width());
        height += lineGap + button.height();
    }
    width = std::min(width + 2 * margin, std::max(this->width() - 2 * margin, 0));
    height += 2 * margin;
    QRect panel(0, 0, width, height);
    panel.moveCenter(rect().center());
    return panel;
}

void MBProgressHUD::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_fade * m_alphaValue);
    if (m_dimBackground) {
        const QPointF centre = QRectF(rect()).center();
        QRadialGradient gradient(centre, std::min(width(), height()));
        gradient.setColorAt(0.0, QColor(0, 0, 0, 0));
        gradient.setColorAt(1.0, QColor(0, 0, 0, int(255 * dimOpacity)));
        gradient.setSpread(QGradient::PadSpread);
        painter.fillRect(rect(), gradient);
    }
    const QRect panel = panelRect();
    QPainterPath path;
    path.addRoundedRect(QRectF(panel), cornerRadius, cornerRadius);
    // Under the translucent panel the host is covered: text showing through
    // made the panel's own lines unreadable. It fades with the overlay.
    painter.save();
    painter.setOpacity(m_fade);
    painter.fillPath(path, palette().color(QPalette::Window));
    painter.restore();
    painter.fillPath(path, QColor(0, 0, 0, int(255 * panelOpacity)));

    QRect content = panel.adjusted(margin, margin, -margin, -margin);
    if (m_mode == Mode::Indeterminate) {
        QRect spinner(0, 0, spinnerSize, spinnerSize);
        spinner.moveCenter(QPoint(content.center().x(), content.top() + spinnerSize / 2));
        paintSpinner(painter, spinner);
        content.setTop(spinner.bottom() + 1 + lineGap);
    }
    painter.setPen(Qt::white);
    const auto drawLine = [&](const QString &text, const QFont &font) {
        if (text.isEmpty())
            return;
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const QString shown = metrics.elidedText(text, Qt::ElideRight, content.width());
        painter.drawText(QRect(content.left(), content.top(), content.width(), metrics.height()),
                         Qt::AlignCenter, shown);
        content.setTop(content.top() + metrics.height() + lineGap);
    };
    drawLine(m_labelText, labelFont());
    drawLine(m_detailsLabelText, detailsFont());
    drawLine(m_progressText, detailsFont());
}

void MBProgressHUD::paintSpinner(QPainter &painter, const QRect &area) const {
    painter.save();
    painter.translate(QRectF(area).center());
    const qreal outer = area.width() / 2.0;
    const qreal inner = outer * 0.45;
    QPen pen(Qt::white, std::max<qreal>(2.0, outer / 8.0), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < spinnerSpokes; ++i) {
        const int age = (m_spinnerStep - i + spinnerSpokes) % spinnerSpokes;
        QColor colour(Qt::white);
        colour.setAlphaF(1.0 - 0.75 * age / (spinnerSpokes - 1));
        pen.setColor(colour);
        painter.setPen(pen);
        const qreal angle = 2 * M_PI * i / spinnerSpokes;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.drawLine(direction * inner, direction * (outer - pen.widthF() / 2));
    }
    painter.restore();
}

bool MBProgressHUD::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        placeCancelButton();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace parlino
