#pragma once
// Small helpers shared by the help windows' widget tests.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace helptest {

// Makes the window the active one, as a click on it would.
inline bool Activate(QWidget* w) {
    w->activateWindow();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w, 3000);
}

// Saves what a window looks like beside the test's build folder.
inline void SaveScreenshot(QWidget* w, const QString& name) {
    QDir().mkpath(QStringLiteral(HELP_SCREENSHOT_DIR));
    w->grab().save(QStringLiteral(HELP_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
}

// How many pixels of the image are this colour, give or take the
// anti-aliasing of text (each channel within `tolerance`).
inline int CountPixels(const QImage& image, const QColor& color, const QRect& area,
                       int tolerance = 24) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) <= tolerance &&
                std::abs(c.green() - color.green()) <= tolerance &&
                std::abs(c.blue() - color.blue()) <= tolerance)
                ++n;
        }
    return n;
}

} // namespace helptest
