// The version is typed once, in CMakeLists.txt's project(): the generated
// core/Version.h, the window's caption, the application's name, --version,
// the About box and the data files made from templates all say the same.

#include <fstream>
#include <iterator>
#include <string>

#include <QRegularExpression>
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "core/Version.h"
#include "dialogs/AboutBox.h"

namespace {

const std::string kVersion = VANTRELLE_VERSION;

std::string Made(const std::string& name) {
    std::ifstream in(std::string(VANTRELLE_DATA_BUILD_DIR "/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

} // namespace

TEST(Version, IsTheProjectsVersionAsTheUserReadsIt) {
    EXPECT_EQ(kVersion, VANTRELLE_PROJECT_VERSION);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d\\d$"))
                    .match(QLatin1String(VANTRELLE_VERSION))
                    .hasMatch())
        << kVersion;
    EXPECT_EQ(kVersion.substr(0, kVersion.find('.')), VANTRELLE_VERSION_MAJOR);
}

TEST(Version, CaptionApplicationNameAndAboutBoxCarryIt) {
    static_assert(sizeof(MAIN_CAPTION) == sizeof("Vantrelle ") + sizeof(VANTRELLE_VERSION) - 1);
    EXPECT_EQ(std::string(MAIN_CAPTION), "Vantrelle " + kVersion);
    EXPECT_EQ(std::string(APPLICATION_TITLE), std::string("Vantrelle ") + VANTRELLE_VERSION_MAJOR);
    EXPECT_EQ(std::string(VERSION_TEXT), "Version: " + kVersion);
}

TEST(Version, VersionOptionPrintsWhatTheCaptionShows) {
    app::CommandLine line;
    const app::CommandLineOutcome o =
        line.Parse({QStringLiteral("/usr/bin/vantrelle"), QStringLiteral("--version")});
    EXPECT_EQ(o.Output,
              QStringLiteral("vantrelle ") + QLatin1String(VANTRELLE_VERSION) + QLatin1Char('\n'));
    const QString caption = QLatin1String(MAIN_CAPTION);
    EXPECT_EQ(o.Output.trimmed().section(QLatin1Char(' '), 1),
              caption.section(QLatin1Char(' '), 1));
    EXPECT_EQ(app::VersionLine(QStringLiteral("vantrelle-monitor")),
              QStringLiteral("vantrelle-monitor ") + QLatin1String(VANTRELLE_VERSION));
}

TEST(Version, FilesMadeFromTemplatesCarryIt) {
    for (const char* page : {"desktop/man/vantrelle.1", "desktop/man/vantrelle-monitor.1"}) {
        const std::string title = FirstLine(Made(page)); // .TH NAME 1 "date" "source" ...
        EXPECT_EQ(title.rfind(".TH ", 0), 0u) << page;
        EXPECT_NE(title.find("\" \"Vantrelle " + kVersion + "\" \""), std::string::npos) << title;
    }
    EXPECT_EQ(FirstLine(Made("desktop/changelog")).rfind("vantrelle (" + kVersion + ") ", 0), 0u);
    EXPECT_NE(Made(std::string("desktop/") + VANTRELLE_APPSTREAM_ID + ".metainfo.xml")
                  .find("<release version=\"" + kVersion + "\""),
              std::string::npos);
    const std::string readme = Made("Readme.rtf");
    EXPECT_NE(readme.find(std::string(" Vantrelle ") + VANTRELLE_VERSION_MAJOR + "\\b0"),
              std::string::npos);
    EXPECT_NE(readme.find(" Vantrelle " + kVersion + "\\i0"), std::string::npos);
    for (const char* name : {"desktop/man/vantrelle.1", "desktop/man/vantrelle-monitor.1",
                             "desktop/changelog", "Readme.rtf"})
        EXPECT_EQ(Made(name).find("@PROJECT_"), std::string::npos) << name;
}
