// A batch save gives the same files, messages and order as one-by-one saves, faults included.

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

using Row = std::vector<std::string>;

std::vector<std::string> Arrange(const std::string& root, const Row& row) {
    for (const char* name : {"a.Zep", "b.Zep", "c.Zep"}) {
        if (row[1] == "1") {
            test::Put(root + "/" + name, name);
        }
    }
    if (!row[3].empty()) {
        fs::create_directory(root + "/" + row[3]);
    }
    std::istringstream links(row[4]);
    for (std::string link; links >> link;) {
        const std::size_t arrow = link.find('>');
        fs::create_hard_link(root + "/" + link.substr(0, arrow),
                             root + "/" + link.substr(arrow + 1));
    }
    return {root + "/a.Zep", root + "/" + row[2], root + "/c.Zep"};
}

std::vector<std::string> Outcome(const std::string& root, test::TestWorkspace& t) {
    std::vector<std::string> lines;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        lines.push_back(entry.path().string() + " = " +
                        (entry.is_directory() ? "(folder)" : test::Contents(entry.path())));
    }
    std::sort(lines.begin(), lines.end());
    lines.push_back(std::exchange(t.messages, {}).str());
    for (std::string& line : lines) {
        for (auto at = line.find(root); at != std::string::npos; at = line.find(root)) {
            line.replace(at, root.size(), "~");
        }
    }
    return lines;
}

TEST(BatchSave, GivesWhatSavingOneByOneGives) {
    test::TestWorkspace t;
    std::vector<SaveRequest> requests;
    for (const char* name : {"atlantic.Zep", "indian-ocean.Zep", "pacific-rim.Zep"}) {
        const std::string key = std::string(ZEP_EXAMPLES_DIR) + "/" + name;
        ASSERT_TRUE(InitFileAdd(t.ws, key));
        requests.push_back(SaveRequest{"", key, t.ws.store.FileCount()});
    }
    for (const Row& row : test::Table("batch-save-faults.tsv")) {
        SCOPED_TRACE(row[0]);
        test::TempDir oneByOne, batch;
        const std::vector<std::string> targets = Arrange(oneByOne.path(), row);
        const std::vector<std::string> batchTargets = Arrange(batch.path(), row);
        const rlim_t room = row[5] == "-" ? RLIM_INFINITY : std::stoul(row[5]);
        std::vector<bool> saved;
        for (std::size_t i = 0; i < requests.size(); ++i) {
            test::WithFileSizeLimit(room, [&] {
                saved.push_back(WriteZEPFile(t.ws, targets[i], requests[i].key, requests[i].index));
                return true;
            });
            requests[i].target = batchTargets[i];
        }
        EXPECT_EQ(std::count(saved.begin(), saved.end(), false) > 0, row[6] == "1");
        const auto expected = Outcome(oneByOne.path(), t);
        EXPECT_TRUE(
            test::WithFileSizeLimit(room, [&] { return WriteZEPFiles(t.ws, requests) == saved; }));
        EXPECT_EQ(Outcome(batch.path(), t), expected);
    }
}

}  // namespace
}  // namespace zep
