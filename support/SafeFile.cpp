#include "support/SafeFile.h"

#include "support/HugePages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zep {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;
// A settings file is a few hundred bytes: the buffer starts small and grows to full size only
// for a file that needs it, so a small save does not clear a megabyte first.
constexpr std::size_t kFirstBufferSize = std::size_t{8} << 10;

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A target that is a link to a file is written through the link, so the link stays.
std::string ResolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// The mode the new file takes: the old file's, or what a plain create would give.
mode_t ModeFor(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::string target) : target_(ResolveLink(target)) {}

SafeFileWriter::~SafeFileWriter() {
    Discard();
}

bool SafeFileWriter::Open() {
    std::string name =
        target_.substr(target_.rfind('/') == std::string::npos ? 0 : target_.rfind('/') + 1);
    std::string pattern = FolderOf(target_) + "/." + name + ".XXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    fd_ = ::mkstemp(path.data());
    if (fd_ < 0) {
        return Fail("cannot create a file in the folder");
    }
    tempPath_ = path.data();
    if (::fchmod(fd_, ModeFor(target_)) != 0) {
        return Fail("cannot set the file's permissions");
    }
    return true;
}

bool SafeFileWriter::Write(std::string_view bytes) {
    if (failed_ || fd_ < 0) {
        return false;
    }
    // A piece of half the buffer or more gains nothing from a copy into it.
    if (bytes.size() >= kBufferSize / 2) {
        return Flush() && WriteAll(bytes);
    }
    while (!bytes.empty()) {
        if (used_ == buffer_.size() && buffer_.size() < kBufferSize) {
            buffer_.resize(std::min(kBufferSize, std::max(kFirstBufferSize, buffer_.size() * 2)));
        } else if (used_ == buffer_.size() && !Flush()) {
            return false;
        }
        std::size_t n = std::min(bytes.size(), buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, bytes.data(), n);
        used_ += n;
        bytes.remove_prefix(n);
    }
    return true;
}

bool SafeFileWriter::Flush() {
    const bool ok = WriteAll(std::string_view(buffer_.data(), used_));
    used_ = 0;
    return ok;
}

bool SafeFileWriter::WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail("cannot write the file");
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool SafeFileWriter::Commit() {
    if (failed_ || fd_ < 0 || !Flush()) {
        return Fail("cannot write the file");
    }
    if (::fsync(fd_) != 0) {
        return Fail("cannot write the file to disk");
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        return Fail("cannot write the file to disk");
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return Fail("cannot replace the file");
    }
    tempPath_.clear();
    return true;
}

bool SafeFileWriter::Fail(const char* what) {
    if (!failed_) {
        error_ = std::string(what) + ": " + std::strerror(errno);
    }
    failed_ = true;
    Discard();
    return false;
}

void SafeFileWriter::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    SafeFileWriter writer(path);
    bool ok = writer.Open() && writer.Write(bytes) && writer.Commit();
    if (!ok && error != nullptr) {
        *error = writer.Error();
    }
    return ok;
}

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

}  // namespace

SafeFileReader::~SafeFileReader() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

// The path is looked at before it is opened, so that nothing but a regular file is ever
// opened; it is opened without blocking all the same, in case it was swapped meanwhile.
bool SafeFileReader::Open(const std::string& path) {
    path_ = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Fail(std::string("cannot open the file: ") + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Fail("cannot open the file: " + KindOf(info.st_mode));
    }
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        return Fail(std::string("cannot open the file: ") + std::strerror(errno));
    }
    if (::fstat(fd_, &info) != 0) {
        return Fail(std::string("cannot read the file: ") + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Fail("cannot open the file: " + KindOf(info.st_mode));
    }
    opened_ = StampOf(info);
    return true;
}

bool SafeFileReader::Read(ByteBuffer& bytes, std::size_t spare) {
    ByteBuffer content;
    Begin(content, spare);
    if (!Finish()) {
        return false;
    }
    bytes = std::move(content);
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
    // Asked before the first byte is written, so that the kernel can back it with huge pages.
    AskForHugePages(content.data(), size + spare);
    content.SetSize(size);
    bytes = std::move(content);
    into_ = bytes.data();
    done_ = 0;
}

// Never past the size found at opening: a file that grows is not read on without bound.
std::size_t SafeFileReader::ReadTo(std::size_t wanted) {
    const std::size_t until = std::min(wanted, static_cast<std::size_t>(opened_.size));
    while (done_ < until && fd_ >= 0) {
        const ssize_t n = ::read(fd_, into_ + done_, until - done_);
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
    if (fd_ < 0) {
        return error_.empty() ? Fail("cannot read the file: it is not open") : false;
    }
    ssize_t probe = 0;
    char byte = 0;
    do {
        probe = ::read(fd_, &byte, 1);
    } while (probe < 0 && errno == EINTR);
    if (probe < 0) {
        return Fail(std::string("cannot read the file: ") + std::strerror(errno));
    }
    struct stat now {};
    struct stat named {};
    const bool same = done_ == size && probe == 0 && ::fstat(fd_, &now) == 0 &&
                      StampOf(now) == opened_ && ::stat(path_.c_str(), &named) == 0 &&
                      StampOf(named) == opened_;
    ::close(fd_);
    fd_ = -1;
    return same || Fail("the file changed while it was read");
}

bool SafeFileReader::Fail(std::string why) {
    error_ = std::move(why);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
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
