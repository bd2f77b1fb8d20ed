#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Workspace.h"

namespace zep {

// The pre-check of a file before it is added; it accepts every path.
bool CheckFileFormat(const std::string& path);

// Adds the file at path to the list: a marked, selected row, a descriptor and a record. A file
// already in the list, under this path or any other name (a link, a second hard link), or one
// that cannot be read is refused with a message, and then nothing at all has changed. The
// path as given stays the file's key.
bool InitFileAdd(Workspace& ws, const std::string& path);

// InitFileAdd of every key in turn; beforeEach(i) runs before the i-th. The result tells, per
// key, whether its file was added.
std::vector<bool> AddFiles(Workspace& ws, const std::vector<std::string>& keys,
                           const std::function<void(std::size_t)>& beforeEach = {});

// Writes the loaded file (key, index) to target, padded to MaxNumber when the options say so.
// The old file at target is replaced only once the new one is complete and on disk; on failure
// the user is told "File unwriteble!!!" with the path and false is returned. A target with other
// names (hard links) gets a new file under this name only, and the user is told so.
bool WriteZEPFile(Workspace& ws, const std::string& target, const std::string& key,
                  std::int32_t index);

// One file of a batch save: the loaded file (key, index) goes to target.
struct SaveRequest {
    std::string target;
    std::string key;
    std::int32_t index = 0;
};

// Saves every file as WriteZEPFile does, with the same files, messages and results in the same
// order, but durably at the cost of one sync: all new files are written first, made durable
// together, and only then put in place. A file that fails costs only itself. A listed file that
// another program changed on disk is replaced only when the user answers Yes; a listed file
// other than the saved one that a save replaced gets its row marked. The result tells, per
// request, whether its file was saved.
std::vector<bool> WriteZEPFiles(Workspace& ws, const std::vector<SaveRequest>& requests);

// Takes one file out of the list: its row at position, its descriptor under key and its record
// at index. MaxNumber is recomputed only when the file's VarCount equalled it.
void RemoveFile(Workspace& ws, const std::string& key, std::int32_t position, std::int32_t index);

// Takes every file out of the list.
void ClearList(Workspace& ws);

// "Max Number : " and MaxNumber in the status bar.
void ShowMaxNumber(Workspace& ws);

}  // namespace zep
