#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "core/FileData.h"

namespace zep {

struct Workspace;

// Undoable reorderings, latest last. Adding, removing, clearing or saving files forgets them.
class ReorderHistory {
public:
    static constexpr std::size_t kDepth = 10;

    // Before a reordering of the files at indices: remembers how they are now.
    void Remember(const Workspace& ws, const std::vector<std::int32_t>& indices);
    // The reordering just remembered failed and changed nothing.
    void DropLast();
    bool CanUndo() const { return !steps_.empty(); }
    // False when there is nothing to take back.
    bool Undo(Workspace& ws);
    void Forget();
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
