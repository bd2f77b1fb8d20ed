// Finding files by name or pattern, and the system information tool of the about box.

#include "app/Registry.h"
#include "support/FSUPLIBmain.h"

#include <sys/stat.h>

#include <cstdlib>

#include "TestWorkspace.h"

namespace zep {
namespace {

// Hidden files count only with the hidden bit; folders never; the last part may be a glob.
TEST(FileExist, FindsFilesByNameOrPattern) {
    test::TempDir dir;
    test::Put(dir / "plain.Zep", "x");
    test::Put(dir / ".hidden.Zep", "x");
    std::filesystem::create_directory(dir / "folder");
    for (const auto& row : test::Table("file-exist.tsv")) {
        const std::string path = row[0].empty() ? "" : dir / row[0];
        EXPECT_EQ(FileExist(path, kAttrNormal), row[1] == "1") << path;
        EXPECT_EQ(FileExist(path, kAttrHidden | kAttrSystem), row[2] == "1") << path;
    }
}

// The first key's path as it stands; else the second key's folder when the tool is there.
TEST(FindSysInfoTool, TakesTheFirstKeyOrAToolInTheSecondKeysFolder) {
    test::TempDir dir;
    test::Put(dir / "MSINFO32.EXE", "x");
    MemoryRegistry registry;
    registry.AddKey(kHKeyLocalMachine, kMsInfoKey);  // without its value
    EXPECT_EQ(FindSysInfoTool(registry), std::nullopt);
    // A value of over 1024 bytes is not read.
    registry.SetValue(kHKeyLocalMachine, kMsInfoKey, kMsInfoValue,
                      RegString(std::string(1024, 'p')));
    EXPECT_EQ(FindSysInfoTool(registry), std::nullopt);
    for (const std::string& folder : {dir.path(), dir.path() + "/"}) {
        registry.SetValue(kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, RegString(folder));
        EXPECT_EQ(FindSysInfoTool(registry), folder + "/MSINFO32.EXE");
    }
    registry.SetValue(kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, RegString("/nowhere"));
    EXPECT_EQ(FindSysInfoTool(registry), std::nullopt);
    registry.SetValue(kHKeyLocalMachine, "software\\microsoft\\shared tools\\msinfo", "path",
                      RegString(std::string(1023, 'p')));
    EXPECT_EQ(FindSysInfoTool(registry), std::string(1023, 'p'));
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

// The first listed program executable on $PATH; never one in the working folder (empty entry).
TEST(PlatformRegistry, AnswersTheFirstKeyWithTheFirstToolOnPath) {
    test::TempDir first;
    test::TempDir second;
    test::TempDir working;
    for (const std::string& tool :
         {first / "hardinfo2", second / "hardinfo", first / "kinfocenter", working / "hardinfo2"}) {
        test::Put(tool, "#!/bin/sh\n");
        ::chmod(tool.c_str(), tool == first / "hardinfo2" ? 0644 : 0755);
    }
    std::filesystem::create_directory(first / "hardinfo");
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    const std::filesystem::path folder = std::filesystem::current_path();
    std::filesystem::current_path(working.path());
    ::setenv("PATH", (":" + first.path() + "::" + second.path() + ":").c_str(), 1);
    const auto registry = PlatformRegistry();
    ::setenv("PATH", path.c_str(), 1);
    std::filesystem::current_path(folder);
    EXPECT_EQ(FindSysInfoTool(*registry), second / "hardinfo");
}

}  // namespace
}  // namespace zep
