#pragma once

// What the tests share: a batch-tool list, a scratch folder, files and tables of tests/data.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ConsoleView.h"
#include "core/Workspace.h"
#include "support/SafeFileReader.h"

namespace zep::test {

// The list of the batch tool; its message boxes become lines of text in messages.
struct TestWorkspace {
    std::ostringstream messages;
    cli::ConsoleListView view;
    cli::ConsoleMessages sink{messages};
    Workspace ws{view, sink};
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zeptest.XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

inline std::string Contents(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

inline void Put(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush())
        << path;
}

// The names in a folder, sorted: a failed save must leave no temporary file behind.
inline std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Makes every write past the given size fail while make runs, as a full disk would (for root too).
inline bool WithFileSizeLimit(rlim_t bytes, const std::function<bool()>& make) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = bytes;
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool made = make();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, signal);
    return made;
}

// Rows of tests/data/tables/<name>: tab-separated, \t \r \n \0 \\ escaped, # lines skipped.
inline std::vector<std::vector<std::string>> Table(const std::string& name) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(Contents(ZEP_TEST_DATA_DIR "/tables/" + name));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string>& row = rows.emplace_back(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            char ch = line[i];
            if (ch == '\t') {
                row.emplace_back();
                continue;
            }
            if (ch == '\\' && i + 1 < line.size()) {
                const std::size_t escape = std::string_view("trn0\\").find(line[++i]);
                ch = escape < 5 ? "\t\r\n\0\\"[escape] : line[i];
            }
            row.back() += ch;
        }
    }
    return rows;
}

inline std::string OptionsText(const Options& o) {
    return o.STR_OPT_TOLERANCE + " " + std::to_string(o.LNG_OPT_COUNT_PER_TOLERANCELINE) + " " +
           std::to_string(o.BLN_OPT_SORTASCII) + std::to_string(o.BLN_OPT_ADJTOMAXCOUNT) +
           std::to_string(o.BLN_OPT_SORT_SPACE_TO_LAST);
}

}  // namespace zep::test
