#pragma once
// The application's style: the one Qt chose (or the -style option named),
// except that the tool-bar extension arrows are read from their image files
// only when first drawn. Every menu bar makes an extension button at once and
// reading its arrows loaded three image-format plugins and a JPEG library at
// each start, for a button the desk's menu bar, always wide enough, never
// shows.

#include <QProxyStyle>

class TDeskStyle : public QProxyStyle {
public:
    // Wraps `base` and takes it over (the application's current style when
    // installed with Install).
    explicit TDeskStyle(QStyle* base);

    // Makes a desk style of the application's style the application's style.
    // Needs a QApplication.
    static void Install();

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
