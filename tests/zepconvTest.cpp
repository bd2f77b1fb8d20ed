// Runs each case of tests/data/zepconv in a scratch copy of examples/ and tests/data's bad/,
// uneven/, settings/ with in/ over them: zepconv gets `args` (one a line), must exit `status`,
// print `stdout`/`stderr` (none: nothing; paths scratch-relative), and leave the folder as
// before with out/ over it.

#include <map>

#include "TestWorkspace.h"
#include "ZepconvRun.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ZEP_TEST_DATA_DIR "/zepconv")) {
        if (entry.is_directory()) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

std::string Text(const fs::path& file) {
    std::string bytes;
    return ReadWholeFile(file.string(), bytes) ? bytes : std::string();
}

// Every file under root by its relative path: a folder as "/", a link as where it leads, a file
// as its content, marked when it may be run.
std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    std::error_code missing;
    for (fs::recursive_directory_iterator it(root, missing), end; it != end; ++it) {
        std::string& entry = tree[it->path().lexically_relative(root).string()];
        if (it->is_symlink()) {
            entry = "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            entry = "/";
        } else {
            const fs::perms runnable = it->status().permissions() & fs::perms::owner_exec;
            entry = Text(it->path()) + (runnable != fs::perms::none ? "\n(runnable)" : "");
        }
    }
    return tree;
}

std::string Relative(std::string text, const std::string& folder) {
    for (auto at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
        text.erase(at, folder.size());
    }
    return text;
}

class ZepconvCase : public ::testing::TestWithParam<std::string> {
protected:
    void TearDown() override { fs::current_path(saved_); }

    fs::path saved_ = fs::current_path();
    test::TempDir scratch_;
};

TEST_P(ZepconvCase, ExitsPrintsAndWritesAsExpected) {
    const fs::path folder = fs::path(ZEP_TEST_DATA_DIR "/zepconv") / GetParam();
    const fs::path here = scratch_.path();
    const auto options = fs::copy_options::recursive | fs::copy_options::copy_symlinks;
    fs::copy(ZEP_EXAMPLES_DIR, here / "examples", options);
    for (const char* shared : {"bad", "uneven", "settings"}) {
        fs::copy(fs::path(ZEP_TEST_DATA_DIR) / shared, here / shared, options);
    }
    if (fs::exists(folder / "in")) {
        fs::copy(folder / "in", here, options);
    }
    std::map<std::string, std::string> expected = Tree(here);
    for (const auto& [name, content] : Tree(folder / "out")) {
        expected[name] = content;
    }

    fs::current_path(here);
    std::vector<std::string> args;
    std::istringstream lines(Text(folder / "args"));
    for (std::string arg; std::getline(lines, arg);) {
        args.push_back(arg);
    }
    const test::Outcome run = test::Zepconv(args);
    const std::string prefix = fs::current_path().string() + "/";

    EXPECT_EQ(run.code, std::stoi(Text(folder / "status")));
    EXPECT_EQ(Relative(run.out, prefix), Text(folder / "stdout"));
    EXPECT_EQ(Relative(run.err, prefix), Text(folder / "stderr"));
    EXPECT_EQ(Tree(here), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZepconvCase, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace zep
