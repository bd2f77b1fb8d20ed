#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/ByteBuffer.h"
#include "support/FileDescriptor.h"
#include "support/FileIdentity.h"

namespace zep {

// Reads a whole regular file as it was when it was opened. Opening never blocks, whatever the
// path names: a FIFO, socket, device or folder is refused with the reason. Reading takes no more
// than the size found when opening, and refuses the file when it changed meanwhile (it grew,
// shrank, was written to or was replaced by another file).
class SafeFileReader {
public:
    // False (with Error set) when path is not a regular file that can be opened for reading.
    bool Open(const std::string& path);
    std::uint64_t Size() const { return opened_.size; }
    FileIdentity Identity() const { return {opened_.device, opened_.inode, {}}; }
    // The whole content, with spare bytes of room after it for a caller that appends a little
    // without copying everything. bytes is left as it was when reading fails.
    bool Read(ByteBuffer& bytes, std::size_t spare = 0);
    bool Read(std::string& bytes, std::size_t spare = 0);

    // Reading in steps, so that a caller works on each step while it is still in the cache: Begin
    // makes room for Size() + spare bytes, ReadTo reads until wanted bytes are in or the file ends
    // early (a failure), Finish reads the rest and checks that the file did not change.
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
    FileDescriptor file_;
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
