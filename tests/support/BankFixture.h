#pragma once
// A shown, ready main window with a recording host, and the real mouse
// gestures the bank tests use.

#include <memory>
#include <vector>

#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "app/MenuItem.h"
#include "bank/BankView.h"
#include "bank/BumpButton.h"
#include "bank/Fader.h"
#include "bank/PageButton.h"
#include "base/CommonDialogs.h"
#include "persist/Persist.h"

class BankFixture {
public:
    std::vector<RecordingEndpoint::Record> records;
    RecordingEndpoint* endpoint = nullptr;
    QTemporaryDir preferences;
    std::unique_ptr<TMainWindow> form;

    // Builds the window; prepare runs before it is shown (preferences, file).
    bool Start(const std::function<void(TMainWindow&)>& prepare = {}) {
        records.clear();
        auto e = std::make_unique<RecordingEndpoint>(&records);
        endpoint = e.get();
        form = std::make_unique<TMainWindow>(std::move(e));
        form->PreferenceStore->SetProgramDirectory(preferences.path());
        if (prepare) prepare(*form);
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) return false;
        if (!QTest::qWaitFor([&] { return form->Model().Ready(); })) return false;
        // Painting lays out each fader's trench, which the mouse needs.
        return QTest::qWaitFor([&] {
            for (int slot = 1; slot <= 32; ++slot)
                if (!Fader(slot)->BackgroundValid()) return false;
            return true;
        });
    }

    TDeskModel& Model() { return form->Model(); }
    TBankView& Bank() { return form->Bank(); }
    TFader* Fader(int slot) { return Bank().FaderAt(slot); }
    TBumpButton* Bump(int slot) { return Bank().BumpAt(slot); }
    TPageButton* Page(int page) { return Bank().PageButtonAt(page); }
    // Puts channels to levels as a layout read from a file would, and shows them.
    void Load(const std::vector<std::pair<int, int>>& levels) {
        auto table = std::make_unique<TChannelTable>(Model().Table());
        for (auto [channel, level] : levels)
            table->LevelOf(channel) = static_cast<std::uint8_t>(level);
        Model().LoadLayout(*table, Bank().Focus());
    }

    std::vector<std::uint8_t> LastFrame() const {
        return records.empty() ? std::vector<std::uint8_t>{} : records.back().Payload;
    }
    int LastLevel(int channel) const {
        const auto frame = LastFrame();
        return frame.size() == 512 ? frame[static_cast<std::size_t>(channel - 1)] : -1;
    }

    // A point of the fader's trench that the slider maps to level.
    QPoint PointFor(int slot, int level) {
        const TSkRect& t = Fader(slot)->TrenchRect();
        const double span = t.Bottom - t.Top;
        const int y = t.Bottom - static_cast<int>(std::lround(level * span / 255.0));
        return {(Fader(slot)->TrackRect().Left + Fader(slot)->TrackRect().Right) / 2, y};
    }
    // Clicks the fader's track near the level (the knob jumps there); the
    // trench has fewer pixels than levels, so returns the level reached.
    int ClickFader(int slot, int level) {
        QTest::mouseClick(Fader(slot), Qt::LeftButton, {}, PointFor(slot, level));
        return Fader(slot)->Digit();
    }
    // Focuses a fader without moving it: a press below the track.
    void FocusFader(int slot) {
        QTest::mouseClick(Fader(slot), Qt::LeftButton, {}, QPoint(3, Fader(slot)->height() - 3));
    }
    void ClickBump(int slot) {
        QTest::mouseClick(Bump(slot)->Face(), Qt::LeftButton, {}, QPoint(10, 10));
    }
    void ClickPage(int page) { QTest::mouseClick(Page(page), Qt::LeftButton, {}, QPoint(10, 10)); }
    // Right-clicks the fader and picks the popup item by name.
    bool ChoosePopup(int slot, const char* itemName) {
        QTest::mouseClick(Fader(slot), Qt::RightButton, {}, QPoint(3, Fader(slot)->height() - 3));
        QMenu* menu = form->FaderMenu;
        if (!QTest::qWaitFor([&] { return menu->isVisible(); })) return false;
        QAction* item = menu->findChild<QAction*>(QLatin1String(itemName));
        if (item == nullptr)
            for (QAction* a : menu->actions())
                if (a->objectName() == QLatin1String(itemName)) item = a;
        if (item == nullptr) return false;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        return QTest::qWaitFor([&] { return !menu->isVisible(); });
    }
};
