#include "widgets/DeferredIconStyle.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include <algorithm>

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

// The columns kept as drawn at each end of a stretched panel, well beyond its
// rounded corners; the one column between the two ends is repeated.
constexpr int panelEnd = 8;
constexpr int narrowPanelWidth = 2 * panelEnd + 1;

// The panel for option, drawn by style at the narrow width into a transparent
// image, as the style itself draws a panel into its cache before copying it.
template <typename Option>
QImage narrowPanel(const QStyle *style, const QStyleOption *option, const QWidget *widget) {
    Option narrow = *static_cast<const Option *>(option);
    narrow.rect = QRect(0, 0, narrowPanelWidth, option->rect.height());
    QImage image(narrow.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &narrow, &painter, widget);
    return image;
}

// The narrow panel widened to width by repeating its middle column.
QImage stretchedPanel(const QImage &narrow, int width) {
    QImage wide(width, narrow.height(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < narrow.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(narrow.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(wide.scanLine(y));
        std::copy(from, from + panelEnd, to);
        std::fill(to + panelEnd, to + width - panelEnd, from[panelEnd]);
        std::copy(from + narrowPanelWidth - panelEnd, from + narrowPanelWidth,
                  to + width - panelEnd);
    }
    return wide;
}

} // namespace

void DeferredIconStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                      QPainter *painter, const QWidget *widget) const {
    if (element == PE_PanelButtonCommand && drawStretchedPanel(option, painter, widget))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

bool DeferredIconStyle::drawStretchedPanel(const QStyleOption *option, QPainter *painter,
                                           const QWidget *widget) const {
    // Only where a device pixel is a pixel of the panel and no scaling or
    // rotation applies; anything else is left to the base style.
    if (option->rect.width() <= narrowPanelWidth || option->rect.height() <= 0 ||
        painter->device()->devicePixelRatio() != 1.0 ||
        painter->deviceTransform().type() > QTransform::TxTranslate)
        return false;
    QImage narrow;
    if (option->type == QStyleOption::SO_Button)
        narrow = narrowPanel<QStyleOptionButton>(baseStyle(), option, widget);
    else if (option->type == QStyleOption::SO_ToolButton)
        narrow = narrowPanel<QStyleOptionToolButton>(baseStyle(), option, widget);
    else if (option->type == QStyleOption::SO_Default)
        narrow = narrowPanel<QStyleOption>(baseStyle(), option, widget);
    else
        return false;
    painter->drawPixmap(option->rect.topLeft(),
                        QPixmap::fromImage(stretchedPanel(narrow, option->rect.width())));
    return true;
}

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
