#include "widgets/DeferredIconStyle.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include <algorithm>
#include <cctype>

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

// A binary PGM ("P5", width, height, 255, then a byte a pixel) read as how
// much of each pixel color covers. A few lines instead of an image reader:
// the reader and its PNG decoder cost more than the rest of the icon's work.
QImage coverageImage(const QString &path, const QColor &color) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    // Four header fields, each ended by one white-space character.
    QList<QByteArray> header;
    qsizetype at = 0;
    for (qsizetype start = 0; header.size() < 4 && at < data.size(); ++at) {
        if (!std::isspace(uchar(data.at(at))))
            continue;
        if (at > start)
            header.append(data.mid(start, at - start));
        start = at + 1;
    }
    const int width = header.value(1).toInt();
    const int height = header.value(2).toInt();
    if (header.value(0) != "P5" || header.value(3) != "255" || width <= 0 || height <= 0 ||
        data.size() - at != qsizetype(width) * height)
        return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    const auto *coverage = reinterpret_cast<const uchar *>(data.constData() + at);
    const QRgb rgba = color.rgba();
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int alpha = coverage[y * width + x] * qAlpha(rgba) / 255;
            line[x] = qPremultiply(qRgba(qRed(rgba), qGreen(rgba), qBlue(rgba), alpha));
        }
    }
    return image;
}

// The speaker for SP_MediaVolume where no icon theme provides one, in the
// buttons' text colour. Its masks are drawn on a 16-unit grid: a box from
// (1, 6) to (4, 10), a cone from there to x = 7 between y = 3 and 13, and
// two arcs about (7, 8) of radius 3.5 and 6.5.
QIcon speakerIcon(const QColor &color) {
    QIcon icon;
    for (const char *path : {":/parlino/speaker-16.pgm", ":/parlino/speaker-32.pgm"}) {
        const QImage image = coverageImage(QString::fromLatin1(path), color);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// The columns kept as drawn at each end of a stretched panel, well beyond its
// rounded corners; the one column between the two ends is repeated.
constexpr int panelEnd = 8;
constexpr int narrowPanelWidth = 2 * panelEnd + 1;

// The panel for option, drawn by style at the narrow width into a transparent
// image, as the style itself draws a panel into its cache before copying it.
template <typename Option>
QImage narrowPanel(const QStyle *style, QStyle::PrimitiveElement element,
                   const QStyleOption *option, const QWidget *widget) {
    Option narrow = *static_cast<const Option *>(option);
    narrow.rect = QRect(0, 0, narrowPanelWidth, option->rect.height());
    QImage image(narrow.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    style->drawPrimitive(element, &narrow, &painter, widget);
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
    if ((element == PE_PanelButtonCommand || element == PE_PanelLineEdit) &&
        drawStretchedPanel(element, option, painter, widget))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

bool DeferredIconStyle::drawStretchedPanel(PrimitiveElement element, const QStyleOption *option,
                                           QPainter *painter, const QWidget *widget) const {
    // Only where a device pixel is a pixel of the panel, no scaling or
    // rotation applies and the fill is one colour (a gradient or texture in
    // the palette would vary along the panel); anything else is left to the
    // base style.
    const QPalette::ColorRole fill =
        element == PE_PanelLineEdit ? QPalette::Base : QPalette::Button;
    if (option->rect.width() <= narrowPanelWidth || option->rect.height() <= 0 ||
        painter->device()->devicePixelRatio() != 1.0 ||
        painter->deviceTransform().type() > QTransform::TxTranslate ||
        option->palette.brush(fill).style() != Qt::SolidPattern)
        return false;
    QImage narrow;
    if (option->type == QStyleOption::SO_Button)
        narrow = narrowPanel<QStyleOptionButton>(baseStyle(), element, option, widget);
    else if (option->type == QStyleOption::SO_ToolButton)
        narrow = narrowPanel<QStyleOptionToolButton>(baseStyle(), element, option, widget);
    else if (option->type == QStyleOption::SO_Frame)
        narrow = narrowPanel<QStyleOptionFrame>(baseStyle(), element, option, widget);
    else if (option->type == QStyleOption::SO_Default)
        narrow = narrowPanel<QStyleOption>(baseStyle(), element, option, widget);
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
        const QPalette palette = option ? option->palette : QGuiApplication::palette();
        const QIcon icon = speakerIcon(palette.color(QPalette::ButtonText));
        if (!icon.isNull())
            return icon;
    }
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

} // namespace parlino
