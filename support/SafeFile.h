#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/PendingName.h"

namespace zep {

// Where a writer puts its bytes. Write returns false once the output has failed; later writes
// keep failing.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
};

// Replaces a file only once its new content is complete and on disk. The bytes go to a file in
// the target's folder that has no name (O_TMPFILE) or, where the file system cannot do that, a
// name that SIGINT, SIGTERM and SIGHUP remove (PendingName). Commit syncs it, gives it a short
// temporary name for an instant, renames that over the target and syncs the folder. Until then,
// and whenever anything fails, the target stays exactly as it was and nothing is left behind.
// The new file keeps the old one's permissions and, where the system allows, its owner and
// group. A target with other names (hard links) is replaced like any other: only this name gets
// the new content, which OtherNames tells the caller.
class SafeFileWriter final : public ByteSink {
public:
    explicit SafeFileWriter(std::string target);
    ~SafeFileWriter() override;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the new file; false (with Error set) when the folder cannot take it.
    bool Open();
    bool Write(std::string_view bytes) override;
    // Hands the last buffered bytes to the file system: the content is complete, but neither on
    // disk nor in place yet. Many files are finished first and then committed together.
    bool Finish();
    // Finishes, syncs and puts the file in place. It counts as saved only when this is true.
    bool Commit();
    bool Committed() const { return committed_; }

    // Why the last step failed, for messages.
    const std::string& Error() const { return error_; }
    // How many other names the replaced file had; they keep the old content.
    std::uint64_t OtherNames() const { return otherNames_; }

private:
    friend void CommitTogether(std::span<SafeFileWriter* const> writers);

    bool OpenFolder();
    bool CreateUnnamed(mode_t mode);
    bool CreateNamed(mode_t mode);
    void KeepOwner(const struct stat& old);
    bool Flush();
    bool WriteAll(std::string_view bytes);
    bool SyncData();
    bool Publish();
    bool LinkUnnamed();
    bool Fail(const char* what);
    void Discard();

    std::string target_;
    std::string name_;  // of the target, in its folder
    std::string error_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    int folder_ = -1;
    int fd_ = -1;
    bool unnamed_ = false;
    bool failed_ = false;
    bool committed_ = false;
    dev_t device_ = 0;                    // of the file
    std::pair<dev_t, ino_t> folderId_{};  // of its folder
    std::uint64_t otherNames_ = 0;
    PendingName temporary_;
};

// Commits many finished writers at the cost of one sync per file system and one per folder:
// every file is made durable first, then each is put in place in order, then each folder is
// synced. Each writer keeps its own result (Committed, Error); a failure costs only its file.
void CommitTogether(std::span<SafeFileWriter* const> writers);

// How many writers may be open at once: each holds two file descriptors until committed.
std::size_t WritersAtOnce();

// Writes bytes as the whole new content of path, through SafeFileWriter.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Reads a whole file; false when it cannot be opened or read. spare bytes of capacity are kept
// free past the end, for a caller that appends a little without copying the whole content.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t spare = 0);

}  // namespace zep
