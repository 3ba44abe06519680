#pragma once

#include <QProxyStyle>

namespace parlino {

// The application's style, deferring the menu bar's overflow arrow: every
// QMenuBar asks for that icon when it is built, and loading it reads three
// images (about 5% of the editor's start-up) for an arrow that only shows when
// the menus do not fit. The icon is loaded the first time it is drawn. Without
// an icon theme the speaker is its own, drawn from two small masks in the
// buttons' text colour, with no image decoder. A wide button or line-edit
// panel is drawn narrow and stretched: its middle columns are all alike, and
// drawing its rounded outline costs by the pixel (the editor's wide pop-ups
// and search field made it a tenth of the first paint).
class DeferredIconStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    // Draws a button or line-edit panel from a narrow one; false when it cannot.
    bool drawStretchedPanel(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const;
};

} // namespace parlino
