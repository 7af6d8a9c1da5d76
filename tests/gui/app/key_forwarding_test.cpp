#include <memory>

#include <QTemporaryDir>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "base/MessageBox.h"
#include "hostlink/Protocol.h"
#include "persist/Persist.h"

using hostlink::WM_KEYDOWN;
using hostlink::WM_KEYUP;
using hostlink::WM_SYSKEYDOWN;
using hostlink::WM_SYSKEYUP;

class KeyForwardingTest : public QObject {
    Q_OBJECT

    std::vector<RecordingEndpoint::Record> records_;
    RecordingEndpoint* endpoint_ = nullptr;
    std::unique_ptr<TMainWindow> form_;
    QTemporaryDir preferences_; // the form's Config.dat stays out of the build tree

    QWindow* Window() { return form_->windowHandle(); }
    // One key event each through the window system, exactly as given: the
    // keyPress helpers would add presses of the modifier keys of their own.
    // The state given is the one before the key, as X11 reports it; for a
    // modifier key Qt flips its own bit, so a Shift press carries Shift and
    // its release does not.
    void Press(Qt::Key key, Qt::KeyboardModifiers m) {
        QTest::simulateEvent(Window(), true, key, m, QString(), false);
    }
    void Release(Qt::Key key, Qt::KeyboardModifiers m) {
        QTest::simulateEvent(Window(), false, key, m, QString(), false);
    }

    using Posted = std::pair<std::uint32_t, std::uint32_t>; // message, wParam
    std::vector<Posted> PostedKeys() const {
        std::vector<Posted> out;
        for (const auto& r : records_)
            if (!r.Sent) out.emplace_back(r.Msg, r.WParam);
        return out;
    }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }

    void init() {
        records_.clear();
        auto endpoint = std::make_unique<RecordingEndpoint>(&records_);
        endpoint_ = endpoint.get();
        form_ = std::make_unique<TMainWindow>(std::move(endpoint));
        form_->PreferenceStore->SetProgramDirectory(preferences_.path());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QTRY_VERIFY(form_->Model().Ready());
        form_->ForwardKeysItem->trigger();
        QVERIFY(form_->ForwardKeysItem->isChecked());
        records_.clear();
    }
    void cleanup() {
        QueueMessageBoxAnswer(QMessageBox::No);
        form_.reset();
    }

    void shiftAFoldsShiftIntoEveryKeyWhileItIsHeld() {
        Press(Qt::Key_Shift, Qt::NoModifier);
        Press(Qt::Key_A, Qt::ShiftModifier);
        Release(Qt::Key_A, Qt::ShiftModifier);
        Release(Qt::Key_Shift, Qt::ShiftModifier);
        const std::vector<Posted> expected = {
            {WM_KEYDOWN, 0x110}, {WM_KEYDOWN, 0x141}, {WM_KEYUP, 0x141}, {WM_KEYUP, 0x10}};
        QCOMPARE(PostedKeys(), expected);
        QCOMPARE(records_[1].LParam, std::uint64_t{0x001E0001});
        QCOMPARE(records_[2].LParam, std::uint64_t{0xC01E0001});
    }

    void ctrlShiftAddsOnlyTheShiftBit() {
        Press(Qt::Key_X, Qt::ShiftModifier | Qt::ControlModifier);
        Press(Qt::Key_C, Qt::ControlModifier);
        const std::vector<Posted> expected = {{WM_KEYDOWN, 0x158}, {WM_KEYDOWN, 0x243}};
        QCOMPARE(PostedKeys(), expected);
    }

    void altChordsAreNeverForwardedButTheReleaseOfAltIs() {
        // A chord with no menu behind it: Alt's release is a plain key-up.
        Press(Qt::Key_Alt, Qt::NoModifier);
        Press(Qt::Key_1, Qt::AltModifier);
        Release(Qt::Key_1, Qt::AltModifier);
        Release(Qt::Key_Alt, Qt::AltModifier);
        const std::vector<Posted> expected = {{WM_KEYUP, 0x12}};
        QCOMPARE(PostedKeys(), expected);
    }

    void altAloneReleasesAsASystemKey() {
        Press(Qt::Key_Alt, Qt::NoModifier);
        Release(Qt::Key_Alt, Qt::AltModifier);
        const std::vector<Posted> expected = {{WM_SYSKEYUP, 0x12}};
        QCOMPARE(PostedKeys(), expected);
    }

    void nothingIsForwardedWhileAMenuIsOpen() {
        Press(Qt::Key_Alt, Qt::NoModifier);
        Press(Qt::Key_F, Qt::AltModifier); // opens the File menu
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        Release(Qt::Key_F, Qt::AltModifier);
        Release(Qt::Key_Alt, Qt::AltModifier);
        Press(Qt::Key_Down, Qt::NoModifier);
        Release(Qt::Key_Down, Qt::NoModifier);
        QVERIFY(PostedKeys().empty());
        QApplication::activePopupWidget()->close();
    }

    void scrollLockIsNeverForwarded() {
        Press(Qt::Key_ScrollLock, Qt::NoModifier);
        Press(Qt::Key_ScrollLock, Qt::ShiftModifier);
        Release(Qt::Key_ScrollLock, Qt::ControlModifier);
        QVERIFY(PostedKeys().empty());
    }

    void f10AloneIsASystemKey() {
        Press(Qt::Key_F10, Qt::NoModifier);
        const std::vector<Posted> expected = {{WM_SYSKEYDOWN, 0x79}};
        QCOMPARE(PostedKeys(), expected);
    }

    void nothingIsForwardedWhenOffSuspendedOrWithoutHost() {
        form_->ForwardKeysItem->trigger(); // off
        Press(Qt::Key_A, Qt::NoModifier);
        form_->ForwardKeysItem->trigger(); // on again
        form_->Model().SetForwardKeys(false);
        Press(Qt::Key_B, Qt::NoModifier);
        form_->Model().SetForwardKeys(true);
        endpoint_->HostPresent = false;
        Press(Qt::Key_C, Qt::NoModifier);
        QVERIFY(PostedKeys().empty());
        endpoint_->HostPresent = true;
        Press(Qt::Key_D, Qt::NoModifier);
        QCOMPARE(PostedKeys().size(), std::size_t{1});
    }
};

QTEST_MAIN(KeyForwardingTest)
#include "key_forwarding_test.moc"
