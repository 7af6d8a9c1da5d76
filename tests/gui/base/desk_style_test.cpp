// The desk's style reads the menu bar's extension arrows only when they are
// drawn, and draws them as the style it wraps does.

#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QtTest>

#include "base/DeskStyle.h"

namespace {

// Whether an image-format plugin has been loaded into this process.
bool ImagePluginsLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return false;
    return maps.readAll().contains("/imageformats/");
}

QImage Drawn(const QIcon& icon, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    icon.paint(&p, image.rect());
    return image;
}

} // namespace

class DeskStyleTest : public QObject {
    Q_OBJECT
private slots:
    // First: nothing else in this program may have read an image before.
    void aMenuBarReadsNoImageWhenMade() {
        QVERIFY(!ImagePluginsLoaded());
        TDeskStyle::Install();
        TDeskStyle::Install(); // once is enough
        QVERIFY(dynamic_cast<TDeskStyle*>(QApplication::style()) != nullptr);
        QVERIFY(dynamic_cast<TDeskStyle*>(
                    static_cast<QProxyStyle*>(QApplication::style())->baseStyle()) == nullptr);
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("&File"));
        window.resize(400, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!ImagePluginsLoaded());
    }

    void theArrowsAreTheWrappedStyles() {
        const QStyle* base = static_cast<QProxyStyle*>(QApplication::style())->baseStyle();
        for (const auto which : {QStyle::SP_ToolBarHorizontalExtensionButton,
                                 QStyle::SP_ToolBarVerticalExtensionButton}) {
            const QIcon deferred = QApplication::style()->standardIcon(which);
            const QIcon wrapped = base->standardIcon(which);
            QVERIFY(!deferred.isNull());
            for (const QSize size : {QSize(16, 16), QSize(24, 24), QSize(13, 17)}) {
                QCOMPARE(deferred.actualSize(size), wrapped.actualSize(size));
                QCOMPARE(deferred.pixmap(size).toImage(), wrapped.pixmap(size).toImage());
                QCOMPARE(deferred.pixmap(size, QIcon::Disabled).toImage(),
                         wrapped.pixmap(size, QIcon::Disabled).toImage());
                QCOMPARE(Drawn(deferred, size), Drawn(wrapped, size));
            }
            QCOMPARE(deferred.availableSizes(), wrapped.availableSizes());
        }
        // Every other icon is the wrapped style's own.
        const QIcon ok = QApplication::style()->standardIcon(QStyle::SP_DialogOkButton);
        QCOMPARE(ok.pixmap(16).toImage(),
                 base->standardIcon(QStyle::SP_DialogOkButton).pixmap(16).toImage());
    }
};

QTEST_MAIN(DeskStyleTest)
#include "desk_style_test.moc"
