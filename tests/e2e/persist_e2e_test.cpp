// Closing the real desk leaves its preferences in "Config.dat" beside the
// program, in the container layout, one entry per stored item.

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include "DeskSession.h"

using namespace std::chrono_literals;

namespace {

struct Entry {
    QByteArray name;
    QByteArray section;
    int type = 0;
    QByteArray data;
};

// Reads the container independently of the desk's own reader.
std::vector<Entry> ReadContainer(const QByteArray& file, QString* problem) {
    std::vector<Entry> entries;
    const QByteArray header = QByteArray("03") + QByteArray(14, '\0');
    if (!file.startsWith(header) || !file.endsWith(header)) {
        *problem = QStringLiteral("header or trailer wrong");
        return entries;
    }
    qsizetype at = 16;
    while (at + 101 <= file.size() - 16) {
        if (file.mid(at, 4) != "||++" || file.mid(at + 97, 4) != "||->") {
            *problem = QStringLiteral("marker wrong at %1").arg(at);
            return entries;
        }
        Entry e;
        e.name = file.mid(at + 4, 24);
        e.name.truncate(e.name.indexOf('\0'));
        e.section = file.mid(at + 28, 64);
        e.section.truncate(e.section.indexOf('\0'));
        e.type = static_cast<unsigned char>(file[at + 92]);
        const qint32 size = qFromLittleEndian<qint32>(file.constData() + at + 93);
        e.data = file.mid(at + 101, size);
        entries.push_back(e);
        at += 101 + size;
    }
    if (at != file.size() - 16) *problem = QStringLiteral("entries do not end at the trailer");
    return entries;
}

bool IsDecimal(const QByteArray& text) {
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

} // namespace

TEST(PersistEndToEnd, ExitWritesTheElevenPreferencesBesideTheProgram) {
    DeskSession s;
    const QString window = s.StartAll();
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    const QString config = s.ProgramDir() + QStringLiteral("/Config.dat");
    ASSERT_FALSE(QFile::exists(config));

    ASSERT_TRUE(s.WaitForMessages(2, 20s));
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    ASSERT_EQ(s.WaitForDeskExit(10s), 0);

    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no Config.dat beside the program";
    QString problem;
    const std::vector<Entry> entries = ReadContainer(file.readAll(), &problem);
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();

    // Expected text of each string entry; null: decimal text; binary for the colours.
    struct Expected {
        const char* name;
        const char* text;
    };
    const Expected expected[] = {
        {"(TForm)_Top", nullptr},
        {"(TForm)_Left", nullptr},
        {"M_Displayvalueasdigit_C", "False"},
        {"M_ButtonAsToggle_Checke", "False"},
        {"M_PassKeypressesToHalve", "False"},
        {"M_MemoriseFaderStatusOn", "False"},
        {"M_StayOnTop_Checked", "False"},
        {"ColorDialog1_CustomColo", nullptr},
        {"M_GradientLook_Checked", "False"},
        {"SaveDialog1_FileName", ""},
        {"OpenDialog1_FileName", ""},
    };
    constexpr std::size_t kColours = 7;
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const Expected& x = expected[i];
        EXPECT_EQ(e.name, QByteArray(x.name));
        EXPECT_EQ(e.section, QByteArray("Software")) << x.name;
        if (i == kColours) {
            EXPECT_EQ(e.type, 2) << "the custom colours are a binary entry";
            EXPECT_EQ(e.data, QByteArray("EMPTY") + QByteArray(27, '\0') + "03");
            continue;
        }
        EXPECT_EQ(e.type, 1) << x.name;
        ASSERT_TRUE(e.data.endsWith('\0')) << x.name;
        const QByteArray text = e.data.chopped(1);
        if (x.text == nullptr)
            EXPECT_TRUE(IsDecimal(text)) << x.name << " holds " << text.constData();
        else
            EXPECT_EQ(text, QByteArray(x.text)) << x.name;
    }
}
