// vantrelle-minimal-window: the least a Qt Widgets program does before it
// reaches the host: a window of the desk's size is shown, and when it has
// been painted once, one channel frame goes to the host. Start-up benchmarks
// measure the desk against it, both started the same way.
//
// usage: vantrelle-minimal-window [--quit] [--text]
//   --quit: exit after the frame
//   --text: also draw one line of text, so the font system is started as in
//           any window that shows words

#include <array>
#include <cstring>

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "hostlink/DmxFrame.h"

namespace {

class MinimalWindow : public QWidget {
public:
    MinimalWindow(bool quit, bool text) : quit_(quit), text_(text) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        if (text_) painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Channel 1"));
        if (sent_) return;
        sent_ = true;
        // After this paint is on its way, as the desk's first frame follows its first show.
        QTimer::singleShot(0, this, [this] {
            const auto endpoint = hostlink::CreatePlatformEndpoint();
            const TDmxLevels levels{};
            std::array<std::uint8_t, DMX_UNIVERSE_SIZE> buffer{};
            hostlink::TransmitDmxFrame(*endpoint, levels, buffer);
            if (quit_) QCoreApplication::quit();
        });
    }

private:
    bool quit_;
    bool text_;
    bool sent_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    bool quit = false, text = false;
    for (int i = 1; i < argc; ++i) {
        quit = quit || std::strcmp(argv[i], "--quit") == 0;
        text = text || std::strcmp(argv[i], "--text") == 0;
    }
    MinimalWindow window(quit, text);
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.resize(1008, 561);
    window.show();
    return app.exec();
}
