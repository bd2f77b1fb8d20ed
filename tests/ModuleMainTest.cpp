#include "app/ModuleMain.h"

#include <iostream>
#include <sstream>

#include "WindowTest.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

using ModuleMainTest = test::WindowTest;

// Relative paths, a refused file, a repeated one and "--": all as Add File takes them, in order.
TEST_F(ModuleMainTest, StartsWithTheFilesOfItsCommandLineInOrder) {
    const std::string examples = fs::relative(ZEP_EXAMPLES_DIR);
    const std::string pacific = examples + "/pacific-rim.Zep";
    const std::string atlantic = examples + "/atlantic.Zep";
    const char* argv[] = {
        "ZEPConverter", pacific.c_str(), ZEP_TEST_DATA_DIR "/bad/row-too-long.Zep", pacific.c_str(),
        "--",           atlantic.c_str()};
    Start(*FilesToOpen(6, argv, std::cerr));
    EXPECT_EQ(Rows(), "* pacific-rim.Zep|* atlantic.Zep / Max Number : 8");
    EXPECT_EQ(list()->topLevelItem(1)->text(1).toStdString(), fs::absolute(atlantic));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].startsWith("Critical: Wrong file format!"));
    EXPECT_EQ(dialogs.messages[1], "Information: This file already in list!");
}

// An unknown option is echoed, but a terminal's control bytes in it are shown escaped.
TEST(ModuleMainOptions, UnknownOptionIsNamedWithoutItsControlBytes) {
    const char* argv[] = {"ZEPConverter", "-\x1b]0;x\x07\xc3\xa9"};
    std::ostringstream err;
    EXPECT_FALSE(FilesToOpen(2, argv, err));
    EXPECT_EQ(err.str(),
              "ZEPConverter: unknown option '-\\x1b]0;x\\x07\xc3\xa9'\n"
              "Run 'ZEPConverter --help' for more information.\n");
}

}  // namespace
}  // namespace zep
