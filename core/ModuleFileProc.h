#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Workspace.h"
#include "core/ZepReader.h"

namespace zep {

// The pre-check of a file before it is added; it accepts every path.
bool CheckFileFormat(const std::string& path);

// Adds the file at path to the list: a marked, selected row, a descriptor and a record. A file
// already in the list or one that cannot be read is refused with a message, and then nothing
// at all has changed.
bool InitFileAdd(Workspace& ws, const std::string& path);

// A file read ahead of InitFileAdd. Reading touches nothing of the list, so files can be read
// on any thread and added afterwards, in order, on the list's own.
struct PreparedFile {
    bool read = false;  // an unread one is read by InitFileAdd
    ReadResult result;
    bool outOfMemory = false;
};
PreparedFile PrepareFileAdd(const std::string& path, std::string_view tolerance);

// Reads every file, on up to one thread per core; the results stand in the order of paths.
std::vector<PreparedFile> PrepareFileAdds(const std::vector<std::string>& paths,
                                          std::string_view tolerance);

// InitFileAdd of a file that PrepareFileAdd has read: the same checks, messages and result.
// A file already in the list has been read in vain: it is refused all the same.
bool InitFileAdd(Workspace& ws, const std::string& path, PreparedFile prepared);

// Writes the loaded file (key, index) to target, padded to MaxNumber when the options say so.
// The old file at target is replaced only once the new one is complete; on failure the user is
// told "File unwriteble!!!" with the path and false is returned.
bool WriteZEPFile(Workspace& ws, const std::string& target, const std::string& key,
                  std::int32_t index);

// Takes one file out of the list: its row at position, its descriptor under key and its record
// at index. MaxNumber is recomputed only when the file's VarCount equalled it.
void RemoveFile(Workspace& ws, const std::string& key, std::int32_t position, std::int32_t index);

// Takes every file out of the list.
void ClearList(Workspace& ws);

// "Max Number : " and MaxNumber in the status bar.
void ShowMaxNumber(Workspace& ws);

}  // namespace zep
