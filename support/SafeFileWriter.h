#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "support/FileDescriptor.h"
#include "support/PendingName.h"

namespace zep {

// Where a writer puts its bytes. Write returns false once the output has failed; later writes
// keep failing.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
};

// The folder a file is saved in, open for as long as its writer needs it. Every step names the
// file relative to it, so the folder cannot be swapped for another between the steps.
struct SaveFolder {
    FileDescriptor fd;
    dev_t device = 0;
    ino_t inode = 0;
    std::size_t nameMax = 255;  // the longest name it takes
};

// Replaces a file only once its new content is complete and on disk. The bytes go to a file in
// the target's folder that has no name (O_TMPFILE) or, where the file system cannot do that, a
// name that SIGINT, SIGTERM and SIGHUP remove (PendingName). Commit syncs it, gives it a short
// temporary name for an instant, renames that over the target and syncs the folder; a target
// that did not exist is simply given its name, which never replaces anything. Until then,
// and whenever anything fails, the target stays exactly as it was and nothing is left behind.
// The new file keeps the old one's permissions and, where the system allows, its owner and
// group. A target with other names (hard links) is replaced like any other: only this name gets
// the new content, which OtherNames tells the caller.
class SafeFileWriter final : public ByteSink {
public:
    explicit SafeFileWriter(std::string target);
    ~SafeFileWriter() override;

    // Creates the new file; false (with Error set) when the folder cannot take it.
    bool Open();
    bool Write(std::string_view bytes) override;
    // Marks the content complete: neither on disk nor in place yet. Many files are finished
    // first and then committed together.
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
    bool LookAtTarget(struct stat& old);
    bool CreateUnnamed(mode_t mode);
    bool CreateNamed(mode_t mode);
    void KeepOwner(const struct stat& old);
    bool SyncData();
    bool Publish();
    bool LinkUnnamed();
    bool LinkAs(const std::string& name);
    bool Fail(const char* what);
    void Discard();

    std::string target_;
    std::string name_;  // of the target, in its folder
    std::string error_;
    SaveFolder folder_;
    FileDescriptor file_;
    bool unnamed_ = false;
    bool replacing_ = false;  // a file had the target's name when this one was created
    bool failed_ = false;
    bool committed_ = false;
    std::uint64_t otherNames_ = 0;
    PendingName temporary_;
};

// Writes bytes as the whole new content of path, through SafeFileWriter.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace zep
