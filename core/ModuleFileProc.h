#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Workspace.h"

namespace zep {

// The pre-check of a file before it is added; it accepts every path.
bool CheckFileFormat(const std::string& path);

// A file already listed under any name (link, hard link) or unreadable is refused with a
// message, changing nothing. The path as given stays the key.
bool InitFileAdd(Workspace& ws, const std::string& path);

// beforeEach(i) runs before the i-th add; the result says per key whether it was added.
std::vector<bool> AddFiles(Workspace& ws, const std::vector<std::string>& keys,
                           const std::function<void(std::size_t)>& beforeEach = {});

// Pads to MaxNumber when the options say so. The old target is replaced only once the new file
// is complete and on disk; a target with other hard links gets a new file under this name only.
bool WriteZEPFile(Workspace& ws, const std::string& target, const std::string& key,
                  std::int32_t index);

struct SaveRequest {
    std::string target;
    std::string key;
    std::int32_t index = 0;
};

// One sync for the batch: new files are made durable together before any is put in place; a
// failure costs only itself. A listed file changed on disk is replaced only on the user's Yes;
// another listed file that a save replaced gets its row marked.
std::vector<bool> WriteZEPFiles(Workspace& ws, const std::vector<SaveRequest>& requests);

// MaxNumber is recomputed only when the file's VarCount equalled it.
void RemoveFile(Workspace& ws, const std::string& key, std::int32_t position, std::int32_t index);

void ClearList(Workspace& ws);

void ShowMaxNumber(Workspace& ws);

}  // namespace zep
