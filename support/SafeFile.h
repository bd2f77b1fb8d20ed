#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/ByteBuffer.h"
#include "support/FileIdentity.h"
#include "support/PendingName.h"

namespace zep {

// Where a writer puts its bytes. Write returns false once the output has failed; later writes
// keep failing.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
    // The pieces one after another; a sink that can takes them in one go.
    virtual bool WriteGathered(std::span<const std::string_view> pieces) {
        return std::all_of(pieces.begin(), pieces.end(),
                           [this](std::string_view piece) { return Write(piece); });
    }
};

// A folder files are saved in, open for as long as a writer needs it. Every step names the file
// relative to it, so the folder cannot be swapped for another between the steps.
struct SaveFolder {
    SaveFolder() = default;
    ~SaveFolder();
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    int fd = -1;
    dev_t device = 0;
    ino_t inode = 0;
    std::size_t nameMax = 255;  // the longest name it takes
};

// The folders of one batch of saves, each opened once and shared by the batch's writers, which
// spares every file opening and looking at its folder again. Safe to use from many threads.
class SaveFolders {
public:
    // The open folder, or nullptr with errno set.
    std::shared_ptr<const SaveFolder> Open(const std::string& path);

private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const SaveFolder>> open_;
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
    // A writer of a batch takes its folder from folders, which must outlive it.
    explicit SafeFileWriter(std::string target, SaveFolders* folders = nullptr);
    ~SafeFileWriter() override;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the new file; false (with Error set) when the folder cannot take it.
    bool Open();
    bool Write(std::string_view bytes) override;
    bool WriteGathered(std::span<const std::string_view> pieces) override;
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
    bool WriteAll(std::string_view bytes);
    bool SyncData();
    bool Publish();
    bool LinkUnnamed();
    bool LinkAs(const std::string& name);
    bool CloseFile();
    bool Fail(const char* what);
    void Discard();

    std::string target_;
    std::string name_;  // of the target, in its folder
    std::string error_;
    SaveFolders* folders_;
    std::shared_ptr<const SaveFolder> folder_;
    int fd_ = -1;
    bool unnamed_ = false;
    bool replacing_ = false;  // a file had the target's name when this one was created
    bool failed_ = false;
    bool committed_ = false;
    std::uint64_t otherNames_ = 0;
    PendingName temporary_;
};

// Commits many finished writers at the cost of one sync per file system and one per folder:
// every file is made durable first, then each is put in place in order, then each folder is
// synced. Each writer keeps its own result (Committed, Error); a failure costs only its file.
void CommitTogether(std::span<SafeFileWriter* const> writers);

// How many writers may be open at once: each holds its file's descriptor until committed, and
// may be the only one in its folder.
std::size_t WritersAtOnce();

// Makes room for count more descriptors before a batch opens them. The kernel grows a process's
// table of descriptors in steps, and while the process has more than one thread every step waits
// for all of them to pass a quiet point, some 20 ms each; growing it once, up front, pays that at
// most once.
void ReserveDescriptors(std::size_t count);

// Writes bytes as the whole new content of path, through SafeFileWriter.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Reads a whole regular file as it was when it was opened. Opening never blocks, whatever the
// path names: a FIFO, socket, device or folder is refused with the reason. Reading takes no more
// than the size found when opening, and refuses the file when it changed meanwhile (it grew,
// shrank, was written to or was replaced by another file).
class SafeFileReader {
public:
    SafeFileReader() = default;
    ~SafeFileReader();
    SafeFileReader(const SafeFileReader&) = delete;
    SafeFileReader& operator=(const SafeFileReader&) = delete;

    // False (with Error set) when path is not a regular file that can be opened for reading.
    bool Open(const std::string& path);
    // The size found when opening.
    std::uint64_t Size() const { return opened_.size; }
    // Which file was opened.
    FileIdentity Identity() const { return {opened_.device, opened_.inode, {}}; }
    // The whole content, with spare bytes of room after it for a caller that appends a little
    // without copying everything. bytes is left as it was when reading fails.
    bool Read(ByteBuffer& bytes, std::size_t spare = 0);
    bool Read(std::string& bytes, std::size_t spare = 0);

    // Reading in steps, for a caller that works on the bytes as they arrive. Begin makes room
    // for the whole file and spare bytes more, and counts Size() bytes as content that is still
    // to come; ReadTo reads on until at least wanted bytes are in, or the file ends early (a
    // failure), and returns how many are in; Finish reads the rest and checks that the file did
    // not change.
    void Begin(ByteBuffer& bytes, std::size_t spare);
    std::size_t ReadTo(std::size_t wanted);
    std::size_t ReadSoFar() const { return done_; }
    bool Finish();

    // Why the last step failed, for messages.
    const std::string& Error() const { return error_; }

    // What tells one state of a file from another.
    struct Stamp {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    // The file's state when it was opened, which reading checks it kept until the end.
    const Stamp& Opened() const { return opened_; }

private:
    bool Fail(std::string why);

    std::string path_;
    int fd_ = -1;
    Stamp opened_;
    char* into_ = nullptr;  // where the content goes
    std::size_t done_ = 0;  // bytes of it read so far
    std::string error_;
};

// Reads a whole file through SafeFileReader; false when it cannot be opened or read, with the
// reason in why when given. spare bytes of capacity are kept free past the end, for a caller
// that appends a little without copying the whole content.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t spare = 0,
                   std::string* why = nullptr);

}  // namespace zep
