#pragma once

#include <QProxyStyle>

namespace parlino {

// The application's style, deferring the menu bar's overflow arrow: every
// QMenuBar asks for that icon when it is built, and loading it reads three
// images (about 5% of the editor's start-up) for an arrow that only shows when
// the menus do not fit. The icon is loaded the first time it is drawn. The
// speaker icon is read without the image plug-in scan.
class DeferredIconStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace parlino
