// Every frame the desk hands its host, action by action, for a fixed script
// of real input, compared with a golden file: a change in what the host sees
// shows up as a diff. VANTRELLE_UPDATE_GOLDEN=1 writes the golden instead.
// Widgets are reached by object name only, so renamed internals do not matter.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include "RecordingEndpoint.h"
#include "app/MainWindow.h"
#include "base/CommonDialogs.h"
#include "base/MessageBox.h"
#include "buttons/Buttons.h"
#include "persist/Persist.h"
#include "slider/VSlider.h"

namespace {

constexpr std::uint32_t kFrameMessage = 0x4A;
constexpr std::uint64_t kFrameTag = 256;
constexpr std::size_t kFrameSize = 512;

// Non-zero channels as channel=level; a run of equal levels as first-last=level.
QString DescribeLevels(const std::vector<std::uint8_t>& levels) {
    QStringList parts;
    for (std::size_t i = 0; i < levels.size();) {
        std::size_t end = i + 1;
        while (end < levels.size() && levels[end] == levels[i])
            ++end;
        if (levels[i] != 0)
            parts << (end - i == 1 ? QStringLiteral("%1=%2").arg(i + 1).arg(levels[i])
                                   : QStringLiteral("%1-%2=%3").arg(i + 1).arg(end).arg(levels[i]));
        i = end;
    }
    return parts.isEmpty() ? QStringLiteral("all-zero") : parts.join(QLatin1Char(' '));
}

QString Describe(const RecordingEndpoint::Record& r) {
    if (r.Msg == kFrameMessage && r.LParam == kFrameTag && r.Payload.size() == kFrameSize)
        return DescribeLevels(r.Payload) + (r.Sent ? QString() : QStringLiteral(" (posted)"));
    const QByteArray bytes(reinterpret_cast<const char*>(r.Payload.data()),
                           static_cast<qsizetype>(r.Payload.size()));
    return QStringLiteral("%1 msg=0x%2 wparam=0x%3 lparam=0x%4 data=%5")
        .arg(r.Sent ? "send" : "post")
        .arg(r.Msg, 0, 16)
        .arg(r.WParam, 0, 16)
        .arg(r.LParam, 0, 16)
        .arg(QString::fromLatin1(bytes.toHex()));
}

// A layout file's 33,800-byte image: save and new marks, levels at offset 8,
// bump flags at 520, captions empty, and the five colour tables of a new layout.
QByteArray LayoutImage(const std::vector<std::pair<int, int>>& levels, int bumpChannel) {
    QByteArray image(33800, '\0');
    const auto put32 = [&](int offset, std::uint32_t v) {
        for (int b = 0; b < 4; ++b)
            image[offset + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
    };
    put32(0, 1);
    put32(4, 1);
    for (const auto& [channel, level] : levels)
        image[8 + channel - 1] = static_cast<char>(level);
    image[520 + bumpChannel - 1] = 1;
    const std::pair<int, std::uint32_t> colours[] = {{23560, 0x808080},
                                                     {25608, 0xC0C0C0},
                                                     {27656, 0xC0C0C0},
                                                     {29704, 0x808080},
                                                     {31752, 0x800000}};
    for (const auto& [table, colour] : colours)
        for (int i = 0; i < 512; ++i)
            put32(table + 4 * i, colour);
    return image;
}

// The desk under test, its host's records and the trace built from them.
class Desk {
public:
    std::vector<RecordingEndpoint::Record> records;
    QTemporaryDir dir;
    std::unique_ptr<TMainWindow> form;
    QStringList trace;

    void Start() {
        form = std::make_unique<TMainWindow>(std::make_unique<RecordingEndpoint>(&records));
        Find<ToxPersist>("oxPersist1").SetProgramDirectory(dir.path());
        Act("start-up", [&] {
            form->show();
            form->activateWindow();
            // The deferred load was posted before the show: once the first
            // frame is out and the window is active, one round of events ends it.
            Check(QTest::qWaitFor([&] { return !records.empty() && form->isActiveWindow(); }),
                  "the window did not come up");
            QCoreApplication::processEvents();
            // The mouse needs each fader's trench, laid out by its first paint.
            Check(QTest::qWaitFor([&] {
                      for (int slot = 1; slot <= 32; ++slot)
                          if (Fader(slot).TrenchRect().Bottom <= Fader(slot).TrenchRect().Top)
                              return false;
                      return true;
                  }),
                  "the faders were not painted");
        });
    }

    // Runs one action and appends its name and every record it caused.
    void Act(const QString& name, const std::function<void()>& action) {
        const std::size_t first = records.size();
        action();
        QCoreApplication::processEvents(); // what the action posted belongs to it
        trace << QStringLiteral("== ") + name;
        for (std::size_t i = first; i < records.size(); ++i)
            trace << QStringLiteral("  #%1 %2").arg(i - first).arg(Describe(records[i]));
    }

    static void Check(bool ok, const char* what) {
        if (!ok) throw std::runtime_error(what);
    }
    template <typename T>
    T& Find(const QString& name) {
        for (QObject* o : form->findChildren<QObject*>(name))
            if (auto* found = dynamic_cast<T*>(o)) return *found;
        throw std::runtime_error("no " + name.toStdString());
    }
    TSkVSlider& Fader(int slot) { return Find<TSkVSlider>(QStringLiteral("Fader%1").arg(slot)); }
    QWidget& BumpFace(int slot) {
        QWidget* face = Find<ToxCustomButton>(QStringLiteral("FaderButton%1").arg(slot)).Face();
        Check(face != nullptr, "a bump button without a face");
        return *face;
    }

    // A point of the fader's track that the slider maps to level.
    QPoint PointFor(int slot, int level) {
        TSkVSlider& f = Fader(slot);
        const TSkRect& t = f.TrenchRect();
        const int y = t.Bottom - static_cast<int>(std::lround(level * (t.Bottom - t.Top) / 255.0));
        return {(f.TrackRect().Left + f.TrackRect().Right) / 2, y};
    }
    // Below the track: a press there focuses the fader without moving it.
    QPoint Below(int slot) { return {3, Fader(slot).height() - 3}; }

    void FaderPress(int slot, int level) {
        Act(QStringLiteral("Fader%1 press at %2").arg(slot).arg(level),
            [&] { QTest::mousePress(&Fader(slot), Qt::LeftButton, {}, PointFor(slot, level)); });
    }
    void FaderMove(int slot, int level) {
        Act(QStringLiteral("Fader%1 drag to %2").arg(slot).arg(level),
            [&] { QTest::mouseMove(&Fader(slot), PointFor(slot, level)); });
    }
    void FaderRelease(int slot, int level) {
        Act(QStringLiteral("Fader%1 release at %2").arg(slot).arg(level),
            [&] { QTest::mouseRelease(&Fader(slot), Qt::LeftButton, {}, PointFor(slot, level)); });
    }
    void Drag(int slot, const std::vector<int>& levels) {
        FaderPress(slot, levels.front());
        for (std::size_t i = 1; i < levels.size(); ++i)
            FaderMove(slot, levels[i]);
        FaderRelease(slot, levels.back());
    }
    void FocusFader(int slot) {
        Act(QStringLiteral("Fader%1 click below the track").arg(slot),
            [&] { QTest::mouseClick(&Fader(slot), Qt::LeftButton, {}, Below(slot)); });
    }
    void Wheel(int slot, int notches) {
        Act(QStringLiteral("Fader%1 wheel %2").arg(slot).arg(notches > 0 ? "up" : "down"), [&] {
            TSkVSlider& f = Fader(slot);
            const QPoint at = PointFor(slot, 128);
            QWheelEvent wheel(at, f.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QSpontaneKeyEvent::setSpontaneous(&wheel);
            QApplication::sendEvent(&f, &wheel);
        });
    }
    void Key(int slot, Qt::Key key, const char* keyName) {
        Act(QStringLiteral("Fader%1 key %2").arg(slot).arg(keyName),
            [&] { QTest::keyClick(&Fader(slot), key); });
    }
    // QTest's widget events carry no double clicks: each release moves its
    // clock past the double-click interval.
    void BumpPress(int slot) {
        Act(QStringLiteral("FaderButton%1 press").arg(slot),
            [&] { QTest::mousePress(&BumpFace(slot), Qt::LeftButton, {}, QPoint(10, 10)); });
    }
    void BumpRelease(int slot) {
        Act(QStringLiteral("FaderButton%1 release").arg(slot),
            [&] { QTest::mouseRelease(&BumpFace(slot), Qt::LeftButton, {}, QPoint(10, 10)); });
    }
    void BumpClick(int slot) {
        Act(QStringLiteral("FaderButton%1 click").arg(slot),
            [&] { QTest::mouseClick(&BumpFace(slot), Qt::LeftButton, {}, QPoint(10, 10)); });
    }
    void Page(int page) {
        Act(QStringLiteral("PageButton%1 click").arg(page), [&] {
            auto& button = Find<ToxGraphicButton>(QStringLiteral("PageButton%1").arg(page));
            QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
        });
    }
    void Command(const char* item) {
        Act(QLatin1String(item), [&] { Find<QAction>(QLatin1String(item)).trigger(); });
    }
    // Right-clicks the fader (it becomes the current one), then picks the
    // preset in the popup that opens.
    void Preset(int slot, const char* item) {
        Act(QStringLiteral("Fader%1 popup %2").arg(slot).arg(QLatin1String(item)), [&] {
            auto& menu = Find<QMenu>(QStringLiteral("PopupMenu1"));
            QTest::mouseClick(&Fader(slot), Qt::RightButton, {}, Below(slot));
            Check(QTest::qWaitFor([&] { return menu.isVisible(); }), "the popup did not open");
            QAction& preset = Find<QAction>(QLatin1String(item));
            QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(&preset).center());
            Check(QTest::qWaitFor([&] { return !menu.isVisible(); }), "the popup stayed open");
            Check(QTest::qWaitForWindowActive(form.get()), "the window lost activation");
        });
    }
    void Open(const QString& path) {
        Act(QStringLiteral("M_Open ") + QFileInfo(path).fileName(), [&] {
            TFileDialog::QueueAnswer(path);
            Find<QAction>(QStringLiteral("M_Open")).trigger();
        });
    }
};

// The golden's and the actual lines around their first difference, as a
// unified diff shows them.
QString FirstDifference(const QStringList& golden, const QStringList& actual) {
    qsizetype at = 0;
    while (at < golden.size() && at < actual.size() && golden[at] == actual[at])
        ++at;
    // The differing lines from there, at most eight, until the two agree again.
    qsizetype end = at;
    while (end - at < 8 && end < std::max(golden.size(), actual.size()) &&
           (end >= golden.size() || end >= actual.size() || golden[end] != actual[end]))
        ++end;
    QStringList out{QStringLiteral("--- frame_trace.golden"), QStringLiteral("+++ actual"),
                    QStringLiteral("@@ -%1 +%1 @@").arg(at + 1)};
    for (qsizetype i = std::max<qsizetype>(0, at - 3); i < at; ++i)
        out << QLatin1Char(' ') + golden[i];
    for (qsizetype i = at; i < std::min(golden.size(), end); ++i)
        out << QLatin1Char('-') + golden[i];
    for (qsizetype i = at; i < std::min(actual.size(), end); ++i)
        out << QLatin1Char('+') + actual[i];
    for (qsizetype i = end;
         i < std::min({golden.size(), actual.size(), end + 3}) && golden[i] == actual[i]; ++i)
        out << QLatin1Char(' ') + golden[i];
    return out.join(QLatin1Char('\n'));
}

} // namespace

class FrameTraceTest : public QObject {
    Q_OBJECT

    // The whole script: momentary bumps first, then toggle bumps.
    static void Script(Desk& d) {
        d.Start();
        d.Drag(2, {64, 128, 192, 255, 100});
        d.FocusFader(5);
        d.Wheel(5, 1);
        d.Wheel(5, -1);
        d.Key(5, Qt::Key_Up, "Up");
        d.Key(5, Qt::Key_Down, "Down");
        d.BumpPress(7); // fader at 0
        d.BumpRelease(7);
        d.Preset(8, "N501");
        d.BumpPress(8);
        d.BumpRelease(8);
        d.Preset(9, "N1001");
        d.BumpPress(9);
        d.BumpRelease(9);
        d.Preset(9, "N01");
        for (const char* item : {"M_FadersOfCurrentPageAt_50", "M_FadersOfCurrentPageAt_100",
                                 "M_FadersOfCurrentPageAt_0", "M_AllFaderTo_50", "M_AllFaderTo_100",
                                 "M_AllFaderTo_0", "M_ReleaseAllToggledBumpButtons"})
            d.Command(item);
        d.Preset(3, "N1001");
        d.Page(2);
        d.Preset(4, "N501");
        d.Page(3);
        d.Command("M_FadersOfCurrentPageAt_50");
        d.Preset(6, "N01");
        for (const int page : {2, 3, 1})
            d.Page(page);

        const QString layout = d.dir.filePath(QStringLiteral("Trace.HXI"));
        QFile file(layout);
        Desk::Check(file.open(QIODevice::WriteOnly), "cannot write the layout");
        file.write(LayoutImage({{1, 10}, {2, 200}, {33, 77}, {100, 255}, {512, 1}}, 2));
        file.close();
        d.Command("M_New");
        d.Open(layout);

        d.Command("M_ButtonAsToggle");
        d.Preset(10, "N501");
        d.BumpClick(10); // latch
        d.BumpClick(10); // unlatch
        d.BumpClick(12);
        d.Drag(12, {64, 128});
        d.Preset(13, "N501");
        d.BumpClick(13);
        d.Command("M_AllFaderTo_0"); // the latched bump still holds the focus
        d.BumpClick(14);
        d.Preset(14, "N501");
        d.BumpClick(15);
        d.FocusFader(15);
        d.Wheel(15, -1);
        d.BumpClick(16);
        d.FocusFader(16);
        d.Key(16, Qt::Key_Down, "Down");
        d.BumpClick(17);
        d.Command("M_FadersOfCurrentPageAt_50");
        d.BumpClick(18);
        d.Command("M_AllFaderTo_100");
        d.Command("M_AllFaderTo_0");
        d.Page(2);
        d.BumpClick(1);
        d.Preset(2, "N501");
        d.BumpClick(2);
        d.Page(1);
        d.BumpClick(3);
        d.BumpClick(20);
        d.Command("M_ReleaseAllToggledBumpButtons");
        d.Preset(5, "N501");
        d.BumpClick(5);
        d.Page(2);
        d.BumpClick(4);
        for (const int page : {3, 1, 2})
            d.Page(page);
        d.Command("M_FadersOfCurrentPageAt_100");
        d.Command("M_New");
        d.Open(layout); // on page 2: the bump the file latches is on page 1
        d.Page(1);
        d.BumpClick(2); // releases the file's latch
        d.BumpClick(3);
        d.Page(2);
        d.BumpClick(1);
        d.Command("M_ReleaseAllToggledBumpButtons");

        // Taking steps back and doing them again: one frame each, or none
        // when no level differs.
        d.Command("M_Undo");
        d.Command("M_Undo");
        d.Command("M_Redo");
        d.Command("M_AllFaderTo_50");
        d.Command("M_Undo");
        d.Command("M_Redo");
        d.Command("M_Blackout"); // the host keeps its frames
        d.Command("M_Blackout");
    }

private slots:
    void initTestCase() { RequireQueuedAnswers(true); }
    void cleanup() {
        ClearMessageBoxAnswers();
        TFileDialog::ClearAnswers();
    }

    void framesMatchTheGolden() {
        Desk desk;
        QVERIFY(desk.dir.isValid());
        try {
            Script(desk);
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        const QString text = desk.trace.join(QLatin1Char('\n')) + QLatin1Char('\n');
        QFile golden(QStringLiteral(FRAME_TRACE_GOLDEN));
        if (qEnvironmentVariable("VANTRELLE_UPDATE_GOLDEN") == QLatin1String("1")) {
            QVERIFY2(golden.open(QIODevice::WriteOnly | QIODevice::Truncate),
                     qPrintable(golden.errorString()));
            golden.write(text.toUtf8());
            qInfo("wrote %s", qPrintable(golden.fileName()));
            return;
        }
        QVERIFY2(golden.open(QIODevice::ReadOnly),
                 "no golden file; run once with VANTRELLE_UPDATE_GOLDEN=1");
        const QString expected = QString::fromUtf8(golden.readAll());
        if (expected != text)
            QFAIL(qPrintable(
                FirstDifference(expected.split(QLatin1Char('\n')), text.split(QLatin1Char('\n')))));
    }
};

QTEST_MAIN(FrameTraceTest)
#include "frame_trace_test.moc"
