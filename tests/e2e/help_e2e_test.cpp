// Help > About on the real desk: the box opens over the desk and OK closes it.

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSize>
#include <QThread>
#include <gtest/gtest.h>

#include "DeskSession.h"

using namespace std::chrono_literals;

namespace {

// Waits until no visible window has this exact title.
bool WaitForWindowGone(DeskSession& s, const QString& title, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        QString out;
        s.Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--name"),
                   QStringLiteral("^") + QRegularExpression::escape(title) + QStringLiteral("$")},
                  &out);
        if (out.isEmpty()) return true;
        QThread::msleep(50);
    }
    return false;
}

// The window's size as xdotool reports it.
QSize WindowSize(DeskSession& s, const QString& window) {
    QString out;
    if (!s.Xdotool({QStringLiteral("getwindowgeometry"), window}, &out)) return {};
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(out);
    return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
}

} // namespace

TEST(HelpEndToEnd, HelpAboutOpensTheBoxAndOkClosesIt) {
    DeskSession s;
    const QString desk = s.StartAll();
    ASSERT_FALSE(desk.isEmpty()) << s.Error().toStdString();

    // Help > About from the keyboard: Alt+H opens the menu on "Readme".
    ASSERT_TRUE(s.Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), desk,
                           QStringLiteral("200"), QStringLiteral("200"), QStringLiteral("click"),
                           QStringLiteral("1")}));
    ASSERT_TRUE(
        s.Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150"),
                   QStringLiteral("alt+h"), QStringLiteral("Down"), QStringLiteral("Return")}));
    const QString about = s.WaitForWindow(QStringLiteral("About Vantrelle"), 10s);
    ASSERT_FALSE(about.isEmpty()) << "the About box did not appear";

    // OK sits centred under the panel, 21 pixels above the box's bottom edge
    // (a 4-pixel frame, then 4 pixels below the 25-pixel button).
    const QSize size = WindowSize(s, about);
    ASSERT_TRUE(size.isValid());
    EXPECT_EQ(size.width(), 330); // the 322-pixel client area and the drawn frame
    ASSERT_TRUE(s.Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), about,
                           QStringLiteral("160"), QString::number(size.height() - 21),
                           QStringLiteral("click"), QStringLiteral("1")}));
    EXPECT_TRUE(WaitForWindowGone(s, QStringLiteral("About Vantrelle"), 10s))
        << "OK did not close the About box";

    // The desk carries on: File > Exit, "No" to saving, and it ends.
    ASSERT_TRUE(s.ExitWithoutSavingLayout(desk)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(10s), 0);
}
