// The snapshots' file: what it holds comes back exactly, and a damaged or
// hostile file is refused whole with a reason, never half read.

#include <functional>
#include <memory>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include "core/WholeFile.h"
#include "model/Captions.h"
#include "safety/SnapshotFile.h"
#include "safety/SnapshotStore.h"

namespace {

std::unique_ptr<TSnapshotSet> SampleSet() {
    auto set = std::make_unique<TSnapshotSet>();
    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    for (int c = 1; c <= DMX_UNIVERSE_SIZE; ++c)
        table->LevelOf(c) = static_cast<std::uint8_t>(c * 7);
    StoreCaption(table->Name1Of(12), QStringLiteral("Key light"));
    table->Name2Of(512).Assign("twelve chars");
    table->FaderColorOf(3) = static_cast<TColor>(0x8000000F);
    set->At(1) = SnapshotOf(*table, false, 2000);
    set->At(4) = SnapshotOf(*table, true, MAX_SNAPSHOT_FADE_MS);
    set->At(10) = SnapshotOf(*table, true, 0);
    return set;
}

// Where in an encoded sample set slot 4 (the first with names) begins.
constexpr qsizetype kHeader = 12;
constexpr qsizetype kSlot1 = kHeader;                      // stored, no names
constexpr qsizetype kSlot4 = kSlot1 + 1 + 1 + 4 + 512 + 2; // after slots 2 and 3 (empty)
constexpr qsizetype kSlot4Names = kSlot4 + 1 + 1 + 4 + 512;

TEST(SnapshotFileFormat, EverySlotComesBackExactly) {
    const auto set = SampleSet();
    const QByteArray bytes = EncodeSnapshots(*set);
    auto read = std::make_unique<TSnapshotSet>();
    ASSERT_EQ(DecodeSnapshots(bytes, *read), QString());
    for (int slot = 1; slot <= SNAPSHOT_SLOTS; ++slot)
        EXPECT_TRUE(read->At(slot) == set->At(slot)) << "slot " << slot;
    EXPECT_EQ(read->At(4).Colors[2], static_cast<TColor>(0x8000000F));
    EXPECT_EQ(bytes.size(), kSlot4Names + 512 * 30 + 5 + (1 + 1 + 4 + 512 + 512 * 30));
}

TEST(SnapshotFileFormat, AFullSetFitsTheSizeBound) {
    auto set = std::make_unique<TSnapshotSet>();
    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    for (int slot = 1; slot <= SNAPSHOT_SLOTS; ++slot)
        set->At(slot) = SnapshotOf(*table, true, 1);
    EXPECT_EQ(EncodeSnapshots(*set).size(), MAX_SNAPSHOT_FILE_SIZE);
}

struct THostileCase {
    const char* what;
    std::function<void(QByteArray&)> damage;
};

TEST(SnapshotFileFormat, RefusesDamagedFilesWholeWithAReason) {
    const THostileCase cases[] = {
        {"empty", [](QByteArray& b) { b.clear(); }},
        {"another signature", [](QByteArray& b) { b[0] = 'X'; }},
        {"a later version", [](QByteArray& b) { b[8] = 2; }},
        {"another slot count", [](QByteArray& b) { b[10] = 11; }},
        {"a stored byte that is neither 0 nor 1", [](QByteArray& b) { b[kSlot1] = 2; }},
        {"an unknown flag", [](QByteArray& b) { b[kSlot1 + 1] = 0x03; }},
        {"a fade over sixty seconds",
         [](QByteArray& b) { qToLittleEndian<std::uint32_t>(60001, b.data() + kSlot1 + 2); }},
        {"a fade of minus one",
         [](QByteArray& b) { qToLittleEndian<std::uint32_t>(0xFFFFFFFFu, b.data() + kSlot1 + 2); }},
        {"a caption length of 13", [](QByteArray& b) { b[kSlot4Names] = 13; }},
        {"a caption length of 255", [](QByteArray& b) { b[kSlot4Names + 13] = char(0xFF); }},
        {"a byte after the end", [](QByteArray& b) { b.append('\0'); }},
        {"larger than any set",
         [](QByteArray& b) { b.append(QByteArray(MAX_SNAPSHOT_FILE_SIZE, '\0')); }},
    };
    const QByteArray good = EncodeSnapshots(*SampleSet());
    for (const THostileCase& c : cases) {
        QByteArray bytes = good;
        c.damage(bytes);
        auto set = std::make_unique<TSnapshotSet>();
        set->At(2).Stored = true; // must survive a refusal
        EXPECT_FALSE(DecodeSnapshots(bytes, *set).isEmpty()) << c.what;
        EXPECT_TRUE(set->At(2).Stored) << c.what << ": a refused file changed the set";
    }
}

TEST(SnapshotFileFormat, RefusesTheFileCutAtAnyLength) {
    const QByteArray good = EncodeSnapshots(*SampleSet());
    auto set = std::make_unique<TSnapshotSet>();
    for (qsizetype n = 0; n < good.size(); n += (n < kSlot4Names + 64 ? 1 : 61))
        ASSERT_FALSE(DecodeSnapshots(QByteArrayView(good.constData(), n), *set).isEmpty())
            << "cut at " << n;
}

class SnapshotFileOnDisk : public ::testing::Test {
protected:
    QString Path() const { return dir_.filePath(QLatin1String(SNAPSHOT_FILE_NAME)); }
    void Write(const QByteArray& bytes) {
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Bytes() const {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
};

TEST_F(SnapshotFileOnDisk, AMissingFileIsAnEmptyStoreAndAStoreWritesIt) {
    TSnapshotStore store;
    ASSERT_TRUE(store.Load(Path()));
    EXPECT_FALSE(store.At(1).Stored);
    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    table->LevelOf(1) = 99;
    ASSERT_TRUE(store.Store(3, SnapshotOf(*table, false, 1500)));
    TSnapshotStore again;
    ASSERT_TRUE(again.Load(Path()));
    EXPECT_EQ(again.At(3).Levels[0], 99);
    EXPECT_EQ(again.At(3).FadeMs, 1500);
    EXPECT_THROW(again.Store(11, SnapshotOf(*table, false, 0)), std::out_of_range);
}

TEST_F(SnapshotFileOnDisk, ARefusedFileNamesWhyAndIsNeverWrittenOver) {
    QByteArray bad = EncodeSnapshots(*SampleSet());
    bad[8] = 9;
    Write(bad);
    TSnapshotStore store;
    const TFileResult<> loaded = store.Load(Path());
    ASSERT_FALSE(loaded);
    EXPECT_TRUE(loaded.Error().Message().contains(Path()));
    EXPECT_TRUE(loaded.Error().Message().contains(QStringLiteral("version 9")));
    ASSERT_TRUE(store.Refusal().has_value());
    EXPECT_FALSE(store.At(1).Stored);
    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    EXPECT_FALSE(store.Store(1, SnapshotOf(*table, false, 0)));
    EXPECT_EQ(Bytes(), bad) << "the person's file is left as it was";
}

TEST_F(SnapshotFileOnDisk, AFailedWriteLeavesFileAndStoreAsTheyWere) {
    TSnapshotStore store;
    ASSERT_TRUE(store.Load(Path()));
    auto table = std::make_unique<TChannelTable>();
    ClearChannels(*table);
    ASSERT_TRUE(store.Store(1, SnapshotOf(*table, false, 100)));
    const QByteArray before = Bytes();
    struct TFailing : QIODevice {
        qint64 readData(char*, qint64) override { return -1; }
        qint64 writeData(const char*, qint64) override { return -1; }
    };
    SetSaveDeviceWrapperForTests([](QIODevice&) {
        auto d = std::make_unique<TFailing>();
        d->open(QIODevice::WriteOnly);
        return d;
    });
    EXPECT_FALSE(store.Store(2, SnapshotOf(*table, false, 200)));
    SetSaveDeviceWrapperForTests({});
    EXPECT_FALSE(store.At(2).Stored);
    EXPECT_EQ(Bytes(), before);
}

} // namespace
