#include "support/SafeFile.h"

#include "support/HugePages.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/resource.h>
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

// Random names collide so rarely that running out of tries means something else is wrong.
constexpr int kNameTries = 64;

// A target that is a link to a file is written through the link, so the link stays.
std::string ResolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// A dot, as much of the target's name as fits, a dot and six random characters: the name stays
// within the folder's limit however long the target's name is, and a stray one still shows what
// it belonged to. The cut never splits a UTF-8 character.
std::string TemporaryName(std::string_view name, int folder) {
    constexpr std::string_view kDigits =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
    const std::size_t room = static_cast<std::size_t>(limit > 16 ? limit : NAME_MAX) - 8;
    std::size_t keep = std::min(name.size(), room);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, 0) != sizeof random) {
        random = static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ULL ^
                 reinterpret_cast<std::uintptr_t>(&random);
    }
    std::string temporary = "." + std::string(name.substr(0, keep)) + ".";
    for (int i = 0; i < 6; ++i, random /= kDigits.size()) {
        temporary += kDigits[random % kDigits.size()];
    }
    return temporary;
}

// Runs a step that makes a temporary name, again with a fresh name while the name is taken.
template <typename MakeName>
bool WithFreeName(std::string_view target, int folder, MakeName make) {
    for (int i = 0; i < kNameTries; ++i) {
        if (make(TemporaryName(target, folder))) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::string target) : target_(ResolveLink(target)) {}

SafeFileWriter::~SafeFileWriter() {
    Discard();
    if (folder_ >= 0) {
        ::close(folder_);
    }
}

bool SafeFileWriter::Open() {
    if (!OpenFolder()) {
        return Fail("cannot create a file in the folder");
    }
    struct stat old {};
    const bool replacing = ::fstatat(folder_, name_.c_str(), &old, 0) == 0;
    // A new file takes what a plain create gives; a replacement starts private and takes the
    // old file's owner and mode once they are set.
    const mode_t mode = replacing ? 0600 : 0666;
    if (!CreateUnnamed(mode) && !CreateNamed(mode)) {
        return Fail("cannot create a file in the folder");
    }
    struct stat created {};
    if (::fstat(fd_, &created) != 0) {
        return Fail("cannot create a file in the folder");
    }
    device_ = created.st_dev;
    if (replacing) {
        otherNames_ = S_ISREG(old.st_mode) && old.st_nlink > 1 ? old.st_nlink - 1 : 0;
        KeepOwner(old);  // first: a change of owner drops the setuid and setgid bits
        if (::fchmod(fd_, old.st_mode & 07777) != 0) {
            return Fail("cannot set the file's permissions");
        }
    }
    return true;
}

// The folder stays open and every later step names the file relative to it, so the folder cannot
// be swapped for another between the steps.
bool SafeFileWriter::OpenFolder() {
    const std::size_t slash = target_.rfind('/');
    name_ = target_.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : target_.substr(0, slash);
    if (name_.empty() || name_ == "." || name_ == "..") {
        errno = EISDIR;
        return false;
    }
    folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0 && errno == EACCES) {  // a folder one may write in but not list
        folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat info {};
    if (folder_ < 0 || ::fstat(folder_, &info) != 0) {
        return false;
    }
    folderId_ = {info.st_dev, info.st_ino};
    return true;
}

// A file without a name vanishes with the process however it ends. It is named later through
// /proc, which must therefore be there.
bool SafeFileWriter::CreateUnnamed(mode_t mode) {
    if (::access("/proc/self/fd", X_OK) != 0) {
        return false;
    }
    fd_ = ::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    unnamed_ = fd_ >= 0;
    return unnamed_;
}

bool SafeFileWriter::CreateNamed(mode_t mode) {
    return WithFreeName(name_, folder_, [&](const std::string& name) {
        return temporary_.Make(folder_, name, [&] {
            fd_ = ::openat(folder_, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode);
            return fd_ >= 0;
        });
    });
}

// Only root may give a file away; a member of the old file's group may still keep that. Neither
// is a reason to refuse the save, so a refusal here is not an error.
void SafeFileWriter::KeepOwner(const struct stat& old) {
    if (::fchown(fd_, old.st_uid, old.st_gid) == 0 ||
        ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) == 0) {
        return;
    }
}

// The writers of this program hand over large pieces (a coordinate file is gathered a megabyte at
// a time, a settings file or a report is written whole), so the bytes go straight to the file
// without a buffer of their own.
bool SafeFileWriter::Write(std::string_view bytes) {
    if (failed_ || fd_ < 0) {
        return false;
    }
    return WriteAll(bytes);
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

bool SafeFileWriter::Finish() {
    if (failed_ || fd_ < 0) {
        errno = EBADF;
        return Fail("cannot write the file");
    }
    return true;
}

bool SafeFileWriter::Commit() {
    SafeFileWriter* self = this;
    CommitTogether(std::span(&self, 1));
    return committed_;
}

bool SafeFileWriter::SyncData() {
    return ::fdatasync(fd_) == 0 || Fail("cannot write the file to disk");
}

// The file gets its name and replaces the target in two steps right after each other; only
// between them does a temporary name exist, listed for the signals.
bool SafeFileWriter::Publish() {
    if (unnamed_ && !LinkUnnamed()) {
        return Fail("cannot name the file");
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        return Fail("cannot write the file to disk");
    }
    if (::renameat(folder_, temporary_.Name(), folder_, name_.c_str()) != 0) {
        return Fail("cannot replace the file");
    }
    temporary_.Forget();
    return true;
}

bool SafeFileWriter::LinkUnnamed() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    return WithFreeName(name_, folder_, [&](const std::string& name) {
        return temporary_.Make(folder_, name, [&] {
            return ::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
        });
    });
}

bool SafeFileWriter::Fail(const char* what) {
    if (!failed_) {
        error_ = std::string(what) + ": " + std::strerror(errno);
    }
    failed_ = true;
    committed_ = false;
    Discard();
    return false;
}

void SafeFileWriter::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (temporary_.Name() != nullptr) {
        ::unlinkat(folder_, temporary_.Name(), 0);
        temporary_.Forget();
    }
}

namespace {

// Runs sync once for every run of writers that share a key (a file system, a folder), in the
// order the keys first appear. sync gets the writers of one key.
template <typename Key, typename Sync>
void OncePer(std::span<SafeFileWriter* const> writers, Key key, Sync sync) {
    std::vector<bool> done(writers.size(), false);
    for (std::size_t i = 0; i < writers.size(); ++i) {
        if (done[i]) {
            continue;
        }
        std::vector<SafeFileWriter*> group;
        for (std::size_t j = i; j < writers.size(); ++j) {
            if (!done[j] && key(*writers[j]) == key(*writers[i])) {
                group.push_back(writers[j]);
                done[j] = true;
            }
        }
        sync(group);
    }
}

}  // namespace

void CommitTogether(std::span<SafeFileWriter* const> writers) {
    std::vector<SafeFileWriter*> live;
    for (SafeFileWriter* writer : writers) {
        if (writer->Finish()) {
            live.push_back(writer);
        }
    }
    // One syncfs writes out every file of the batch on that file system together; a single
    // file, or a batch whose syncfs reports an error, is synced file by file, which also tells
    // which file the error belongs to.
    OncePer(
        live, [](const SafeFileWriter& w) { return w.device_; },
        [](const std::vector<SafeFileWriter*>& group) {
            if (group.size() > 1 && ::syncfs(group.front()->fd_) == 0) {
                return;
            }
            for (SafeFileWriter* writer : group) {
                writer->SyncData();
            }
        });
    std::vector<SafeFileWriter*> placed;
    for (SafeFileWriter* writer : live) {
        if (!writer->failed_ && writer->Publish()) {
            placed.push_back(writer);
        }
    }
    // A rename lasts only once its folder is on disk too. A folder opened only as a path
    // (one may write in it but not list it) cannot be synced, and is taken as it is.
    OncePer(
        placed, [](const SafeFileWriter& w) { return w.folderId_; },
        [](const std::vector<SafeFileWriter*>& group) {
            const bool synced = ::fsync(group.front()->folder_) == 0 || errno == EBADF;
            for (SafeFileWriter* writer : group) {
                if (synced) {
                    writer->committed_ = true;
                } else {
                    writer->Fail("cannot write the folder to disk");
                }
            }
        });
}

std::size_t WritersAtOnce() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY) {
        return 1024;
    }
    // Some descriptors stay for the rest of the program (the window's, the reader's).
    const rlim_t spare = files.rlim_cur > 96 ? files.rlim_cur - 64 : files.rlim_cur / 3;
    return std::clamp<std::size_t>(static_cast<std::size_t>(spare / 2), 1, 1024);
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
