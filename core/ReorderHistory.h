#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "core/FileData.h"

namespace zep {

struct Workspace;

// The reorderings (Sort By ASCII, Compare) that can still be taken back, latest last. Each step
// holds, for every file it was about to reorder, the order of its label rows and whether its
// row was marked. Adding, removing or clearing files and saving change what a step would put
// back, so they forget every step.
class ReorderHistory {
public:
    // How many reorderings can be taken back one after another.
    static constexpr std::size_t kDepth = 10;

    // Before a reordering of the files at indices: remembers how they are now.
    void Remember(const Workspace& ws, const std::vector<std::int32_t>& indices);
    // The reordering just remembered failed and changed nothing.
    void DropLast();
    bool CanUndo() const { return !steps_.empty(); }
    // Puts the files of the latest step back as they were, orders and row markers; false when
    // there is nothing to take back.
    bool Undo(Workspace& ws);
    void Forget();
    // Called whenever CanUndo may have changed, for a menu entry that follows it.
    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    // Rows stay where they are while a step is held: whatever moves them forgets every step.
    struct FileOrder {
        std::int32_t row = 0;
        FileData::Order order;
        bool marked = false;
    };
    void Changed() const;

    std::deque<std::vector<FileOrder>> steps_;
    std::function<void()> changed_;
};

}  // namespace zep
