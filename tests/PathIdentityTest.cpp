// A file is known by what its path reaches: no link lets a write land on a file of the run.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>

#include "TestWorkspace.h"
#include "ZepconvRun.h"
#include "core/FileListCommands.h"
#include "support/FileIdentity.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

struct Case {
    const char* name;
    const char* links;  // "NAME>TARGET" a symbolic link, "DIR/" a folder
    const char* args;   // followed by atlantic.Zep indian-ocean.Zep
    int code;
    const char* says;
};

const Case kCases[] = {
    {"ReportLinkedToAnInput", "rep.csv>atlantic.Zep", "compare -o o --report rep.csv", 2,
     "report rep.csv would replace atlantic.Zep"},
    {"ReportThroughALinkedFolder", "dl>.", "compare --report dl/atlantic.Zep", 2,
     "would replace atlantic.Zep"},
    {"ReportOnACopyInAFolderStillToBeMade", "dl>.", "compare -o dl/o --report o/atlantic.Zep", 2,
     "would replace dl/o/atlantic.Zep"},
    {"CopyLinkedToAnotherInput", "o/ o/atlantic.Zep>../indian-ocean.Zep", "save -o o", 2,
     "would replace indian-ocean.Zep"},
    {"TwoCopiesLinkedToOneFile",
     "o/ o/atlantic.Zep>../pacific-rim.Zep o/indian-ocean.Zep>../pacific-rim.Zep", "save -o o", 2,
     "would both be written"},
    {"OneFileUnderTwoNames", "dl>.", "check dl/atlantic.Zep", 1,
     "atlantic.Zep: This file already in list!"},
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

class PathIdentity : public testing::TestWithParam<Case> {};

TEST_P(PathIdentity, NothingOfTheRunIsOverwritten) {
    test::TempDir dir;
    const char* const files[] = {"atlantic.Zep", "indian-ocean.Zep", "pacific-rim.Zep"};
    for (const char* file : files) {
        fs::copy_file(std::string(ZEP_EXAMPLES_DIR "/") + file, dir / file);
    }
    for (const std::string& link : Words(GetParam().links)) {
        const std::size_t at = link.find('>');
        at == std::string::npos ? (void)fs::create_directory(dir / link)
                                : fs::create_symlink(link.substr(at + 1), dir / link.substr(0, at));
    }
    const fs::path home = fs::current_path();
    fs::current_path(dir.path());
    const test::Outcome run =
        test::Zepconv(Words(std::string(GetParam().args) + " atlantic.Zep indian-ocean.Zep"));
    fs::current_path(home);
    EXPECT_EQ(run.code, GetParam().code) << run.out << run.err;
    EXPECT_NE((run.out + run.err).find(GetParam().says), std::string::npos) << run.out << run.err;
    for (const char* file : files) {
        EXPECT_EQ(test::Contents(dir / file),
                  test::Contents(ZEP_EXAMPLES_DIR "/" + std::string(file)));
    }
}

INSTANTIATE_TEST_SUITE_P(Links, PathIdentity, testing::ValuesIn(kCases),
                         [](const auto& c) { return std::string(c.param.name); });

// A file's key reaches the file its path reaches, also where ".." follows a symbolic link, and is
// absolute, with no "." component or doubled slash.
TEST(KeyForPath, ReachesTheFileThePathReaches) {
    test::TempDir dir;
    fs::create_directories(dir / "real/sub");
    test::Put(dir / "real/f.Zep", "behind the link");
    test::Put(dir / "f.Zep", "beside the link");
    fs::create_directory_symlink("real/sub", dir / "link");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    for (const char* path : {"link/../f.Zep", "./link/./../f.Zep", "link//..//f.Zep",
                             "real/sub/../f.Zep", "f.Zep", "./real//f.Zep"}) {
        for (const std::string& given : {std::string(path), dir / path}) {
            const std::string key = KeyForPath(given);
            EXPECT_EQ(IdentityOf(key), IdentityOf(given)) << given;
            EXPECT_TRUE(key.starts_with('/') && key.find("/./") == std::string::npos &&
                        key.find("//") == std::string::npos)
                << key;
        }
    }
    fs::current_path(before);
}

}  // namespace
}  // namespace zep
