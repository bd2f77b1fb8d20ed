#pragma once

// Recording stand-ins for the window, and a scratch folder, shared by the core tests.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileListView.h"
#include "core/MessageSink.h"
#include "core/Workspace.h"
#include "support/SafeFile.h"

namespace zep::test {

struct Row {
    std::string key;
    std::string text;
    std::string fullPath;
    std::int32_t tag = 0;
};

// A file list that behaves like the window's: keys are unique, rows keep their order.
class RecordingListView : public FileListView {
public:
    std::vector<Row> rows;
    std::int32_t selected = 0;
    std::string statusText = "Ready";
    int statusWrites = 0;
    // When set, AppendRow refuses with this error number.
    std::int32_t failAppendWith = 0;

    std::int32_t AppendRow(std::string_view key, std::string_view text) override {
        if (failAppendWith != 0) {
            return failAppendWith;
        }
        for (const Row& row : rows) {
            if (row.key == key) {
                return kErrKeyNotUnique;
            }
        }
        rows.push_back(Row{std::string(key), std::string(text), {}, 0});
        return 0;
    }
    std::int32_t RowCount() const override { return static_cast<std::int32_t>(rows.size()); }
    std::string RowKey(std::int32_t position) const override { return at(position).key; }
    std::string RowText(std::int32_t position) const override { return at(position).text; }
    void SetRowText(std::int32_t position, std::string_view text) override {
        at(position).text = text;
    }
    std::int32_t RowTag(std::int32_t position) const override { return at(position).tag; }
    void SetRowTag(std::int32_t position, std::int32_t tag) override { at(position).tag = tag; }
    void SetRowFullPath(std::int32_t position, std::string_view path) override {
        at(position).fullPath = path;
    }
    void SelectRow(std::int32_t position) override { selected = position; }
    void RemoveRow(std::int32_t position) override { rows.erase(rows.begin() + (position - 1)); }
    void SetStatusText(std::string_view text) override {
        statusText = text;
        ++statusWrites;
    }

private:
    Row& at(std::int32_t position) { return rows.at(static_cast<std::size_t>(position - 1)); }
    const Row& at(std::int32_t position) const {
        return rows.at(static_cast<std::size_t>(position - 1));
    }
};

struct Message {
    std::string text;
    MessageIcon icon;
    std::string detail;
};

class RecordingMessages : public MessageSink {
public:
    std::vector<Message> shown;
    void ShowMessage(std::string_view text, MessageIcon icon, std::string_view detail) override {
        shown.push_back(Message{std::string(text), icon, std::string(detail)});
    }
};

// A workspace wired to recording fakes.
struct TestWorkspace {
    RecordingListView view;
    RecordingMessages messages;
    Workspace ws{view, messages};
};

// A fresh folder under the system's temporary folder, removed with everything in it.
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

// The whole content of a file, failing the test when it cannot be read.
inline std::string Contents(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

// Writes a file's whole content, failing the test when it cannot be written.
inline void Put(const std::string& path, std::string_view bytes) {
    ASSERT_TRUE(WriteFileSafely(path, bytes)) << path;
}

// How many entries a folder holds: a failed save must leave no temporary file behind.
inline std::size_t EntriesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

}  // namespace zep::test
