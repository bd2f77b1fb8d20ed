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

// Replaces a file only once its new content is complete and on disk. The bytes go to an unnamed
// file (O_TMPFILE) in the target's folder or, where that cannot be, to a name that SIGINT, SIGTERM
// and SIGHUP remove (PendingName). Commit syncs it, renames it over the target (or links it, where
// no target was) and syncs the folder; until then, and on any failure, the target stays as it was
// and nothing is left behind. The old file's permissions, and where allowed its owner and group,
// are kept; other hard links to it keep the old content, which OtherNames tells.
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
