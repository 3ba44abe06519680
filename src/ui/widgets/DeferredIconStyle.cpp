#include "widgets/DeferredIconStyle.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPointer>

namespace parlino {

namespace {

// Asks the style for the real icon on the first request of a pixmap or size.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(const QStyle *style, QStyle::StandardPixmap which)
        : m_style(style)
        , m_which(which) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new DeferredIconEngine(m_style, m_which); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }

private:
    const QIcon &icon() {
        if (m_icon.isNull() && m_style)
            m_icon = m_style->standardIcon(m_which);
        return m_icon;
    }

    QPointer<const QStyle> m_style;
    QStyle::StandardPixmap m_which;
    QIcon m_icon;
};

// The speaker the common style draws for SP_MediaVolume when no icon theme
// provides one.
const char *const volumeIconFile = ":/qt-project.org/styles/commonstyle/images/media-volume-16.png";

// A PNG read as PNG. QIcon::addFile probes the format first, and that probe
// opens every image-format plug-in (SVG with its library, GIF, ICO, JPEG) to
// ask whether it reads PNG: about 4% of the editor's start-up for one icon.
QIcon pngIcon(const QString &path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                      const QWidget *widget) const {
    if (standardIcon == SP_ToolBarHorizontalExtensionButton)
        return QIcon(new DeferredIconEngine(baseStyle(), standardIcon));
    // With an icon theme the base style asks the theme first.
    if (standardIcon == SP_MediaVolume && QIcon::themeName().isEmpty()) {
        const QIcon icon = pngIcon(QString::fromLatin1(volumeIconFile));
        if (!icon.isNull())
            return icon;
    }
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

} // namespace parlino
