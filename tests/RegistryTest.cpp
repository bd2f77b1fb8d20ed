#include "support/Registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TestWorkspace.h"

namespace zep {
namespace {

using test::TempDir;

constexpr std::string_view kKey = "SOFTWARE\\Maker\\Tool";

RegValue Bytes(RegType type, std::string_view data) {
    return RegValue{type, std::vector<unsigned char>(data.begin(), data.end())};
}

struct ValueCase {
    const char* name;
    RegValue value;
    bool found;
    std::string keyVal;  // KeyVal afterwards; it goes in as "before"
};

void PrintTo(const ValueCase& value, std::ostream* out) {
    *out << value.name;
}

class GetKeyValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(GetKeyValueTest, ReadsTheValueByItsTypeAndClosesTheKey) {
    MemoryRegistry registry;
    registry.SetValue(kHKeyLocalMachine, kKey, "Value", GetParam().value);
    std::string keyVal = "before";
    EXPECT_EQ(GetKeyValue(registry, kHKeyLocalMachine, kKey, "Value", keyVal), GetParam().found);
    EXPECT_EQ(keyVal, GetParam().keyVal);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GetKeyValueTest,
    ::testing::Values(
        ValueCase{"String", RegString("C:\\Tools\\info.exe"), true, "C:\\Tools\\info.exe"},
        ValueCase{"StringEndsAtFirstZero", Bytes(RegType::String, {"abc\0def\0", 8}), true, "abc"},
        ValueCase{"StringWithoutZero", Bytes(RegType::String, "abc"), true, "abc"},
        ValueCase{"EmptyString", RegString(""), true, ""},
        ValueCase{"Dword", RegDword(0x1A2Bu), true, "&h1A2B"},
        ValueCase{"DwordZero", RegDword(0), true, "&h0"},
        ValueCase{"DwordHighBit", RegDword(0xFFFFFFFFu), true, "&hFFFFFFFF"},
        ValueCase{"BinaryLeavesKeyValAsPassed", Bytes(RegType::Binary, "xyz"), true, "before"},
        ValueCase{"NoneLeavesKeyValAsPassed", Bytes(RegType::None, ""), true, "before"},
        ValueCase{"DataFillsTheBuffer", RegString(std::string(1023, 'p')), true,
                  std::string(1023, 'p')},
        ValueCase{"DataOverTheBuffer", RegString(std::string(1024, 'p')), false, ""}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(GetKeyValue, MissingKeyOrValueGivesFalseAndEmptyText) {
    MemoryRegistry registry;
    registry.AddKey(kHKeyLocalMachine, kKey);
    std::string keyVal = "before";
    EXPECT_FALSE(GetKeyValue(registry, kHKeyLocalMachine, "SOFTWARE\\Other", "Value", keyVal));
    EXPECT_EQ(keyVal, "");

    keyVal = "before";
    EXPECT_FALSE(GetKeyValue(registry, kHKeyLocalMachine, kKey, "Value", keyVal));
    EXPECT_EQ(keyVal, "");
    EXPECT_EQ(registry.OpenKeyCount(), 0u);

    keyVal = "before";
    EXPECT_FALSE(GetKeyValue(registry, 0x80000001u, kKey, "Value", keyVal)) << "another root";
    EXPECT_EQ(keyVal, "");
}

TEST(GetKeyValue, KeyPathsAndValueNamesIgnoreLetterCase) {
    MemoryRegistry registry;
    registry.SetValue(kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, RegString("/usr/bin/x"));
    std::string keyVal;
    EXPECT_TRUE(GetKeyValue(registry, kHKeyLocalMachine,
                            "software\\MICROSOFT\\shared tools\\msinfo", "path", keyVal));
    EXPECT_EQ(keyVal, "/usr/bin/x");
}

void MakeFile(const std::string& path, bool executable) {
    std::ofstream(path) << "#!/bin/sh\n";
    ::chmod(path.c_str(), executable ? 0755 : 0644);
}

TEST(FindProgramOnPath, TakesTheFirstProgramOfTheListThatIsAnExecutableFile) {
    TempDir first;
    TempDir second;
    MakeFile(second / "hardinfo", true);
    MakeFile(first / "kinfocenter", true);
    MakeFile(first / "hardinfo2", false);
    std::filesystem::create_directory(first / "hardinfo");
    const std::string path = ":" + first.path() + "::" + second.path() + ":";

    EXPECT_EQ(FindProgramOnPath(path, {"hardinfo2", "hardinfo", "kinfocenter"}),
              second / "hardinfo");
    EXPECT_EQ(FindProgramOnPath(path, {"kinfocenter", "hardinfo"}), first / "kinfocenter");
    EXPECT_EQ(FindProgramOnPath(path, {"hardinfo2", "missing"}), std::nullopt);
    EXPECT_EQ(FindProgramOnPath("", {"hardinfo"}), std::nullopt);
}

TEST(FindProgramOnPath, NeverLooksInTheWorkingFolder) {
    TempDir dir;
    MakeFile(dir / "hardinfo", true);
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(FindProgramOnPath(":", {"hardinfo"}), std::nullopt);
    std::filesystem::current_path(saved);
}

class PlatformRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
    }
    void TearDown() override { ::setenv("PATH", savedPath_.c_str(), 1); }

private:
    std::string savedPath_;
};

TEST_F(PlatformRegistryTest, AnswersTheFirstToolKeyWithAProgramFoundOnPath) {
    TempDir bin;
    MakeFile(bin / "gnome-system-monitor", true);
    MakeFile(bin / "hardinfo", true);
    ::setenv("PATH", bin.path().c_str(), 1);
    const auto registry = PlatformRegistry();

    std::string keyVal;
    EXPECT_TRUE(GetKeyValue(*registry, kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, keyVal));
    EXPECT_EQ(keyVal, bin / "hardinfo");
    EXPECT_FALSE(
        GetKeyValue(*registry, kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, keyVal));
    EXPECT_EQ(FindSysInfoTool(*registry), bin / "hardinfo");
}

TEST_F(PlatformRegistryTest, AnswersNothingWithoutAProgram) {
    TempDir bin;
    MakeFile(bin / "ls", true);
    ::setenv("PATH", bin.path().c_str(), 1);
    const auto registry = PlatformRegistry();

    std::string keyVal;
    EXPECT_FALSE(GetKeyValue(*registry, kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, keyVal));
    EXPECT_EQ(FindSysInfoTool(*registry), std::nullopt);
}

}  // namespace
}  // namespace zep
