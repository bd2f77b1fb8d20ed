#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "support/FileDescriptor.h"
#include "support/PendingName.h"

namespace zep {

// Write is false once the output has failed, and stays false.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
};

// Every step names the file relative to this folder, so it cannot be swapped between steps.
struct SaveFolder {
    FileDescriptor fd;
    dev_t device = 0;
    ino_t inode = 0;
    std::size_t nameMax = 255;  // the longest name it takes
};

// The folders of a batch of saves, each opened once and shared by the writers whose files it
// takes; safe to use from several threads.
class SaveFolders {
public:
    std::shared_ptr<const SaveFolder> Open(const std::string& path);

private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const SaveFolder>> open_;
};

// Replaces a file only once its new content is complete and on disk, via O_TMPFILE or a name that
// SIGINT/SIGTERM/SIGHUP remove; until Commit succeeds the target stays and nothing is left behind.
// Permissions (owner and group where allowed) are kept; other hard links keep the old content.
class SafeFileWriter final : public ByteSink {
public:
    explicit SafeFileWriter(std::string target, SaveFolders* folders = nullptr);
    ~SafeFileWriter() override;

    // Creates the new file; false (with Error set) when the folder cannot take it.
    bool Open();
    bool Write(std::string_view bytes) override;
    // Content complete, not yet on disk or in place: many files finish first and commit together.
    bool Finish();
    // Finishes, syncs and puts the file in place. It counts as saved only when this is true.
    bool Commit();
    bool Committed() const { return committed_; }

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
    SaveFolders* folders_;
    std::shared_ptr<const SaveFolder> folder_;
    FileDescriptor file_;
    bool unnamed_ = false;
    bool replacing_ = false;  // a file had the target's name when this one was created
    bool failed_ = false;
    bool committed_ = false;
    std::uint64_t otherNames_ = 0;
    PendingName temporary_;
};

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace zep
