// The OLA output comes from a module loaded when first made: found beside
// the program in a build tree, and a clear "not installed" when it is
// missing, broken or from another build.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>

#include <QTemporaryDir>

#include "output/OlaModule.h"
#include "output/OutputSet.h"

namespace {

TEST(OlaModule, MadeFromTheModuleBesideTheProgram) {
    TOutputSettings settings;
    settings.ola.enabled = true;
    const auto outputs = MakeOutputs(settings);
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(outputs[0]->Name(), "OLA");
    EXPECT_EQ(outputs[0]->State(), TOutputState::Off); // a real output, not yet started
}

TEST(OlaModule, MissingOrUnusableModulesAreNotInstalled) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string notAModule = dir.filePath("not-a-module.so").toStdString();
    std::ofstream(notAModule) << "plain text";
    // A real shared object without the module's entry points: the C library.
    Dl_info libc{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&dlopen), &libc), 0);
    const std::string otherLibrary = libc.dli_fname;
    for (const auto& paths : std::vector<std::vector<std::string>>{
             {}, {dir.filePath("missing.so").toStdString()}, {notAModule}, {otherLibrary}}) {
        testing::internal::CaptureStderr();
        const auto output = LoadOlaOutput({}, paths);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(output->Name(), "OLA");
        EXPECT_EQ(output->State(), TOutputState::NotInstalled);
        EXPECT_FALSE(output->Start());
        EXPECT_EQ(OutputStateText(output->State()), "not installed");
        EXPECT_NE(said.find("the OLA output is not available"), std::string::npos) << said;
    }
}

TEST(OlaModule, LookedForBesideTheProgramFirst) {
    const auto paths = OlaModulePaths();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_TRUE(paths[0].ends_with("/vantrelle-ola.so"));
    EXPECT_NE(paths[1].find("/vantrelle/vantrelle-ola.so"), std::string::npos);
}

} // namespace
