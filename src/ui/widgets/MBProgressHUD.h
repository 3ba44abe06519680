#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QPropertyAnimation;
class QPushButton;
class QTimer;

namespace parlino {

// A progress overlay laid over a host widget: a rounded dark panel in the
// middle with a spinner and up to two lines of text, optionally darkening the
// host around it. It covers the whole host and follows its size. Shows and
// hides with a 0.3-second fade. Several may stand on one host; the topmost is
// the one added last.
class MBProgressHUD : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal fade READ fade WRITE setFade)
public:
    enum class Mode {
        Indeterminate, // the spinner
        CustomView,    // no indicator: text only
    };

    static constexpr int fadeMilliseconds = 300;
    static constexpr int briefMessageMilliseconds = 1000;

    explicit MBProgressHUD(QWidget *host);

    // Brief message: text only, on the active window's content (or, when no
    // window is active, on the given view's window), gone after one second
    // plus its fades. Success and error look the same.
    static void showSuccess(const QString &text, QWidget *view);
    static void showError(const QString &text, QWidget *view);
    // Lasting overlay with the spinner, dimmed host, text as the second line;
    // stays until hidden. Without a view nothing is shown and nullptr returned.
    static MBProgressHUD *showMessage(const QString &text, QWidget *view);

    void hideAnimated(bool animated);
    bool isHiding() const { return m_hiding; }

    // A third line under the text, such as how far the work has come.
    void setProgressText(const QString &text);
    QString progressText() const { return m_progressText; }
    // Puts a Cancel button in the panel; it, or Esc, calls cancel.
    void setCancelAction(std::function<void()> cancel);
    QPushButton *cancelButton() const { return m_cancelButton; }

    Mode mode() const { return m_mode; }
    QString labelText() const { return m_labelText; }
    QString detailsLabelText() const { return m_detailsLabelText; }
    qreal fade() const { return m_fade; }
    void setFade(qreal fade);
    // The panel's rectangle in the overlay's coordinates.
    QRect panelRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void showBrief(const QString &text, QWidget *view);
    void showAnimated(bool animated);
    void hideAnimated(bool animated, int delayMilliseconds);
    void setMode(Mode mode);
    QFont labelFont() const;
    QFont detailsFont() const;
    void fadeTo(qreal target, bool animated);
    void finishHiding();
    void paintSpinner(QPainter &painter, const QRect &area) const;
    void placeCancelButton();

    Mode m_mode = Mode::Indeterminate;
    QString m_labelText;
    QString m_detailsLabelText;
    QString m_progressText;
    QPushButton *m_cancelButton = nullptr;
    bool m_dimBackground = false;
    bool m_removeFromSuperViewOnHide = false;
    bool m_hiding = false;
    bool m_delayedHideAnimated = true;
    qreal m_alphaValue = 1.0;
    qreal m_fade = 0.0;
    int m_spinnerStep = 0;
    QTimer *m_spinnerTimer;
    QTimer *m_hideTimer;
    QPointer<QPropertyAnimation> m_animation;
};

} // namespace parlino
