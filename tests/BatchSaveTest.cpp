// A batch save gives the same files, messages and order as one-by-one saves, faults included.

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

enum class Fault { None, NoOldFiles, FolderInTheWay, MissingFolder, OtherNames, FullDisk };

std::vector<std::string> Arrange(const std::string& root, Fault fault) {
    std::vector<std::string> targets;
    for (const char* name : {"a.Zep", "b.Zep", "c.Zep"}) {
        targets.push_back(root + "/" + name);
        if (fault != Fault::NoOldFiles) {
            test::Put(targets.back(), name);
        }
    }
    if (fault == Fault::FolderInTheWay) {
        fs::create_directory(targets[1] = root + "/folder.Zep");
    } else if (fault == Fault::MissingFolder) {
        targets[1] = root + "/gone/b.Zep";
    } else if (fault == Fault::OtherNames) {
        fs::create_hard_link(targets[0], root + "/a2.Zep");
        fs::create_hard_link(targets[2], root + "/c2.Zep");
    }
    return targets;
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
    for (Fault fault : {Fault::None, Fault::NoOldFiles, Fault::FolderInTheWay, Fault::MissingFolder,
                        Fault::OtherNames, Fault::FullDisk}) {
        SCOPED_TRACE(static_cast<int>(fault));
        test::TempDir oneByOne, batch;
        const std::vector<std::string> targets = Arrange(oneByOne.path(), fault);
        const std::vector<std::string> batchTargets = Arrange(batch.path(), fault);
        const rlim_t room = fault == Fault::FullDisk ? 1 : RLIM_INFINITY;
        std::vector<bool> saved;
        for (std::size_t i = 0; i < requests.size(); ++i) {
            test::WithFileSizeLimit(room, [&] {
                saved.push_back(WriteZEPFile(t.ws, targets[i], requests[i].key, requests[i].index));
                return true;
            });
            requests[i].target = batchTargets[i];
        }
        EXPECT_EQ(std::count(saved.begin(), saved.end(), false) > 0,
                  fault != Fault::None && fault != Fault::NoOldFiles && fault != Fault::OtherNames);
        const auto expected = Outcome(oneByOne.path(), t);
        EXPECT_TRUE(
            test::WithFileSizeLimit(room, [&] { return WriteZEPFiles(t.ws, requests) == saved; }));
        EXPECT_EQ(Outcome(batch.path(), t), expected);
    }
}

}  // namespace
}  // namespace zep
