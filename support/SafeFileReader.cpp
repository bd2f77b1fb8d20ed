#include "support/SafeFileReader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace zep {

namespace {

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "it is a folder";
    }
    if (S_ISFIFO(mode)) {
        return "it is a FIFO (named pipe), not a regular file";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket, not a regular file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device, not a regular file";
    }
    return "it is not a regular file";
}

SafeFileReader::Stamp StampOf(const struct stat& info) {
    return SafeFileReader::Stamp{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::uint64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
        static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

// Huge pages asked for before first touch: tens of MB then fault a few dozen times, not thousands.
void PrepareToFill(void* start, std::size_t size) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

}  // namespace

// Only a regular file is ever opened, and still without blocking in case it was swapped meanwhile.
bool SafeFileReader::Open(const std::string& path) {
    path_ = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Fail(std::string("cannot open the file: ") + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Fail("cannot open the file: " + KindOf(info.st_mode));
    }
    file_ = FileDescriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file_.IsOpen()) {
        return Fail(std::string("cannot open the file: ") + std::strerror(errno));
    }
    if (::fstat(file_.Get(), &info) != 0) {
        return Fail(std::string("cannot read the file: ") + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Fail("cannot open the file: " + KindOf(info.st_mode));
    }
    opened_ = StampOf(info);
    return true;
}

bool SafeFileReader::Read(std::string& bytes, std::size_t spare) {
    std::string content;
    const auto size = static_cast<std::size_t>(opened_.size);
    content.reserve(size + spare);
    content.resize(size);
    into_ = content.data();
    done_ = 0;
    if (!Finish()) {
        return false;
    }
    bytes = std::move(content);
    return true;
}

void SafeFileReader::Begin(ByteBuffer& bytes, std::size_t spare) {
    const auto size = static_cast<std::size_t>(opened_.size);
    ByteBuffer content;
    content.Reserve(size + spare);
    PrepareToFill(content.data(), size + spare);
    content.SetSize(size);
    bytes = std::move(content);
    into_ = bytes.data();
    done_ = 0;
}

// Never past the size found at opening: a file that grows is not read on without bound.
std::size_t SafeFileReader::ReadTo(std::size_t wanted) {
    const std::size_t until = std::min(wanted, static_cast<std::size_t>(opened_.size));
    while (done_ < until && file_.IsOpen()) {
        const ssize_t n = ::read(file_.Get(), into_ + done_, until - done_);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            Fail(n < 0 ? std::string("cannot read the file: ") + std::strerror(errno)
                       : std::string("the file changed while it was read"));
            break;
        }
        done_ += static_cast<std::size_t>(n);
    }
    return done_;
}

// One byte more than the size found at opening is asked for, to see that the file ends there.
bool SafeFileReader::Finish() {
    const auto size = static_cast<std::size_t>(opened_.size);
    ReadTo(size);
    if (!file_.IsOpen()) {
        return error_.empty() ? Fail("cannot read the file: it is not open") : false;
    }
    ssize_t probe = 0;
    char byte = 0;
    do {
        probe = ::read(file_.Get(), &byte, 1);
    } while (probe < 0 && errno == EINTR);
    if (probe < 0) {
        return Fail(std::string("cannot read the file: ") + std::strerror(errno));
    }
    // While the path still reaches the open file, looking at the path shows the file's own state.
    struct stat named {};
    const bool same = done_ == size && probe == 0 && ::stat(path_.c_str(), &named) == 0 &&
                      StampOf(named) == opened_;
    file_.Close();
    return same || Fail("the file changed while it was read");
}

bool SafeFileReader::Fail(std::string why) {
    error_ = std::move(why);
    file_.Close();
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t spare,
                   std::string* why) {
    SafeFileReader reader;
    const bool ok = reader.Open(path) && reader.Read(bytes, spare);
    if (!ok && why != nullptr) {
        *why = reader.Error();
    }
    return ok;
}

}  // namespace zep
