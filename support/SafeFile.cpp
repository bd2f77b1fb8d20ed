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

bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t spare) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    std::string content;
    if (ok) {
        // One byte of room past the size, so the end is seen without growing the buffer; a
        // file that grows meanwhile is still read whole.
        const std::size_t room = static_cast<std::size_t>(info.st_size) + 1 + spare;
        content.reserve(room);
        AskForHugePages(content.data(), room);
        content.resize(room);
        std::size_t done = 0;
        while (ok) {
            if (done == content.size()) {
                content.resize(content.size() * 2);
            }
            ssize_t n = ::read(fd, content.data() + done, content.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                ok = false;
            } else if (n == 0) {
                break;
            } else {
                done += static_cast<std::size_t>(n);
            }
        }
        content.resize(done);
    }
    ::close(fd);
    if (ok) {
        bytes = std::move(content);
    }
    return ok;
}

}  // namespace zep
