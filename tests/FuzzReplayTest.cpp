// Replays the fuzzers' checks over their seeds and over every input a fuzzer once failed on
// (tests/data/fuzz/zep, tests/data/fuzz/ini), so a fixed fault stays fixed without clang.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestWorkspace.h"
#include "fuzz/IniRoundTrip.h"
#include "fuzz/ZepRoundTrip.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesUnder(const std::vector<std::string>& folders) {
    std::vector<std::string> files;
    for (const std::string& folder : folders) {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path().string());
            }
        }
    }
    return files;
}

std::string Bytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

TEST(FuzzReplayTest, CoordinateFilesReadWriteAndReadBackUnchanged) {
    const auto files =
        FilesUnder({ZEP_EXAMPLES_DIR, ZEP_TEST_DATA_DIR "/bad", ZEP_TEST_DATA_DIR "/fuzz/zep"});
    ASSERT_FALSE(files.empty());
    for (const std::string& path : files) {
        EXPECT_EQ(fuzz::CheckZepRoundTrip(Bytes(path)), "") << path;
    }
}

TEST(FuzzReplayTest, SettingsFilesKeepTheirLinesWhenAKeyIsWritten) {
    const auto files = FilesUnder({ZEP_TEST_DATA_DIR "/settings", ZEP_TEST_DATA_DIR "/fuzz/ini"});
    ASSERT_FALSE(files.empty());
    test::TempDir dir;
    for (const std::string& path : files) {
        EXPECT_EQ(fuzz::CheckIniRoundTrip(Bytes(path), dir.path()), "") << path;
    }
}

}  // namespace
}  // namespace zep
