#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/ByteBuffer.h"
#include "support/FileDescriptor.h"
#include "support/FileIdentity.h"

namespace zep {

// Opening never blocks: a FIFO, socket, device or folder is refused with the reason. Reading
// stops at the size found when opening and refuses a file that changed meanwhile.
class SafeFileReader {
public:
    // False (with Error set) when path is not a regular file that can be opened for reading.
    bool Open(const std::string& path);
    std::uint64_t Size() const { return opened_.size; }
    FileIdentity Identity() const { return {opened_.device, opened_.inode, {}}; }
    // spare bytes of room are left after the content; bytes is unchanged when reading fails.
    bool Read(std::string& bytes, std::size_t spare = 0);

    // In steps, each used while cached; Finish reads the rest and checks the file is unchanged.
    void Begin(ByteBuffer& bytes, std::size_t spare);
    std::size_t ReadTo(std::size_t wanted);
    std::size_t ReadSoFar() const { return done_; }
    bool Finish();

    const std::string& Error() const { return error_; }

    struct Stamp {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
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

// SafeFileReader in one call; the reason goes to why when given, spare as for Read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t spare = 0,
                   std::string* why = nullptr);

}  // namespace zep
