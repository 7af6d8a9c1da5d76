// The host link's indicator in the main window: four states, a tooltip with
// the path, repainted only on change, and a refusal told once.

#include <cstdlib>
#include <memory>

#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/LinkIndicator.h"
#include "app/MainWindow.h"
#include "base/MessageBox.h"
#include "persist/Persist.h"

using hostlink::LinkState;
using hostlink::LinkStatus;

namespace {

// An endpoint whose status the test sets, as the watcher thread would.
class StatusEndpoint : public RecordingEndpoint {
public:
    hostlink::LinkStatus Status() const override { return status_; }
    void SetStatusListener(hostlink::LinkStatusListener listener) override {
        listener_ = std::move(listener);
    }
    void Report(const LinkStatus& status) {
        status_ = status;
        if (listener_) listener_(status);
    }

private:
    LinkStatus status_;
    hostlink::LinkStatusListener listener_;
};

class PaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

QList<QMessageBox*> Notices() {
    QList<QMessageBox*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w);
            box != nullptr && box->objectName() == QStringLiteral("HostRefusedNotice") &&
            box->isVisible())
            out.append(box);
    return out;
}

} // namespace

class LinkIndicatorTest : public QObject {
    Q_OBJECT

    StatusEndpoint* endpoint_ = nullptr;
    std::unique_ptr<TMainWindow> form_;
    QTemporaryDir preferences_;

    TLinkIndicator* Indicator() { return form_->findChild<TLinkIndicator*>(); }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }

    void init() {
        auto endpoint = std::make_unique<StatusEndpoint>();
        endpoint_ = endpoint.get();
        form_ = std::make_unique<TMainWindow>(std::move(endpoint));
        form_->PreferenceStore->SetProgramDirectory(preferences_.path());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QTRY_VERIFY(form_->Model().Ready());
    }
    void cleanup() {
        for (QMessageBox* box : Notices())
            box->close();
        QueueMessageBoxAnswer(QMessageBox::No);
        form_.reset();
    }

    void sitsAtTheEndOfTheMenuBar() {
        QVERIFY(Indicator() != nullptr);
        QVERIFY(form_->menuBar()->cornerWidget(Qt::TopRightCorner)->isAncestorOf(Indicator()));
        QCOMPARE(Indicator()->text(), QStringLiteral("No host"));
    }

    // Whatever the state says fits: the corner grows with its text, inside the window.
    void theWholeTextIsShown() {
        for (const LinkState state : {LinkState::Connected, LinkState::NotAnswering,
                                      LinkState::Refused, LinkState::NoHost}) {
            endpoint_->Report({state, "/p/THXMainForm", ""});
            QTRY_COMPARE(Indicator()->text(), TLinkIndicator::TextFor(state));
            QTRY_VERIFY2(Indicator()->width() >= Indicator()->sizeHint().width(),
                         qPrintable(QStringLiteral("%1 px for \"%2\", which needs %3")
                                        .arg(Indicator()->width())
                                        .arg(Indicator()->text())
                                        .arg(Indicator()->sizeHint().width())));
            const QRect shown(Indicator()->mapTo(form_.get(), QPoint()), Indicator()->size());
            QVERIFY(form_->rect().contains(shown));
        }
    }

    void showsEachStateWithThePathInTheTooltip_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("connected") << int(LinkState::Connected) << QStringLiteral("Host connected");
        QTest::newRow("no host") << int(LinkState::NoHost) << QStringLiteral("No host");
        QTest::newRow("not answering")
            << int(LinkState::NotAnswering) << QStringLiteral("Host not answering");
        QTest::newRow("refused") << int(LinkState::Refused) << QStringLiteral("Host refused");
    }
    void showsEachStateWithThePathInTheTooltip() {
        QFETCH(int, state);
        QFETCH(QString, text);
        const std::string reason =
            state == int(LinkState::Refused) ? "the folder belongs to user nobody" : "";
        endpoint_->Report({LinkState(state), "/run/user/7/THXMainForm", reason});
        // The news comes through the event queue, as from the endpoint's thread.
        QTRY_VERIFY(Indicator()->toolTip().contains(QStringLiteral("/run/user/7/THXMainForm")));
        QCOMPARE(Indicator()->text(), text);
        if (!reason.empty())
            QVERIFY(Indicator()->toolTip().contains(QString::fromStdString(reason)));
        // The words are drawn in the state's colour: the darkest pixel of the
        // anti-aliased text is that colour, give or take the smoothing.
        QImage shown(Indicator()->size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        Indicator()->render(&shown, {}, {}, QWidget::DrawChildren);
        const QColor colour = TLinkIndicator::ColourFor(LinkState(state));
        QRgb darkest = qRgb(255, 255, 255);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (qGray(shown.pixel(x, y)) < qGray(darkest)) darkest = shown.pixel(x, y);
        const auto near = [](int a, int b) { return std::abs(a - b) <= 8; };
        QVERIFY2(
            near(qRed(darkest), colour.red()) && near(qGreen(darkest), colour.green()) &&
                near(qBlue(darkest), colour.blue()),
            qPrintable(QColor(darkest).name() + QStringLiteral(" drawn for ") + colour.name()));
    }

    void repaintsOnlyWhenTheStateChanges() {
        endpoint_->Report({LinkState::Connected, "/p/THXMainForm", ""});
        QTRY_COMPARE(Indicator()->text(), QStringLiteral("Host connected"));
        Indicator()->repaint(); // what the change asked for is done now
        QCoreApplication::processEvents();
        PaintCounter counter;
        Indicator()->installEventFilter(&counter);
        for (int i = 0; i < 20; ++i)
            endpoint_->Report({LinkState::Connected, "/p/THXMainForm", ""});
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(counter.Paints, 0);
        endpoint_->Report({LinkState::NotAnswering, "/p/THXMainForm", ""});
        QTRY_VERIFY(counter.Paints > 0);
        Indicator()->removeEventFilter(&counter);
    }

    void aRefusalIsToldOnceWithPathAndReason() {
        const LinkStatus refused{LinkState::Refused, "/tmp/runtime-x/THXMainForm",
                                 "the host runs as user nobody"};
        endpoint_->Report(refused);
        QTRY_COMPARE(Notices().size(), 1);
        const QString said = Notices().first()->text();
        QVERIFY(said.contains(QStringLiteral("/tmp/runtime-x/THXMainForm")));
        QVERIFY(said.contains(QStringLiteral("the host runs as user nobody")));
        QVERIFY(!Notices().first()->isModal());
        Notices().first()->close();
        for (int i = 0; i < 5; ++i)
            endpoint_->Report(refused);
        endpoint_->Report({LinkState::NoHost, refused.Path, ""});
        endpoint_->Report(refused);
        QCoreApplication::processEvents();
        QCOMPARE(Notices().size(), 0);
    }
};

QTEST_MAIN(LinkIndicatorTest)
#include "link_indicator_test.moc"
