#include "support/SafeFile.h"

#include "support/HugePages.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zep {
namespace {

// Random names collide so rarely that running out of tries means something else is wrong.
constexpr int kNameTries = 64;

// Where a target that is a link to a file leads, so that the file is written through the link
// and the link stays. A link that leads nowhere is replaced like a file.
std::string ResolveLink(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Random bits for temporary names. One call to the kernel per thread seeds a generator
// (splitmix64), so a batch of a thousand names does not make a thousand calls.
std::uint64_t RandomBits() {
    thread_local std::uint64_t state = [] {
        std::uint64_t seed = 0;
        if (::getrandom(&seed, sizeof seed, 0) != sizeof seed) {
            seed = static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ULL ^
                   reinterpret_cast<std::uintptr_t>(&seed);
        }
        return seed;
    }();
    std::uint64_t z = state += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A dot, as much of the target's name as fits, a dot and six random characters: the name stays
// within the folder's limit however long the target's name is, and a stray one still shows what
// it belonged to. The cut never splits a UTF-8 character.
std::string TemporaryName(std::string_view name, const SaveFolder& folder) {
    constexpr std::string_view kDigits =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::size_t keep = std::min(name.size(), folder.nameMax - 8);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::uint64_t random = RandomBits();
    std::string temporary = "." + std::string(name.substr(0, keep)) + ".";
    for (int i = 0; i < 6; ++i, random /= kDigits.size()) {
        temporary += kDigits[random % kDigits.size()];
    }
    return temporary;
}

// Runs a step that makes a temporary name, again with a fresh name while the name is taken.
template <typename MakeName>
bool WithFreeName(std::string_view target, const SaveFolder& folder, MakeName make) {
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

// A file without a name vanishes with the process however it ends. It is named later through
// /proc, which must therefore be there; whether it is does not change while the program runs.
bool ProcFdThere() {
    static const bool there = ::access("/proc/self/fd", X_OK) == 0;
    return there;
}

std::shared_ptr<const SaveFolder> OpenSaveFolder(const std::string& path) {
    auto folder = std::make_shared<SaveFolder>();
    folder->fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder->fd < 0 && errno == EACCES) {  // a folder one may write in but not list
        folder->fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat info {};
    if (folder->fd < 0 || ::fstat(folder->fd, &info) != 0) {
        return nullptr;
    }
    folder->device = info.st_dev;
    folder->inode = info.st_ino;
    const long limit = ::fpathconf(folder->fd, _PC_NAME_MAX);
    folder->nameMax = static_cast<std::size_t>(limit > 16 ? limit : NAME_MAX);
    return folder;
}

}  // namespace

SaveFolder::~SaveFolder() {
    if (fd >= 0) {
        ::close(fd);
    }
}

std::shared_ptr<const SaveFolder> SaveFolders::Open(const std::string& path) {
    const std::lock_guard lock(mutex_);
    std::shared_ptr<const SaveFolder>& folder = open_[path];
    if (folder == nullptr) {
        folder = OpenSaveFolder(path);
    }
    return folder;
}

SafeFileWriter::SafeFileWriter(std::string target, SaveFolders* folders)
    : target_(std::move(target)), folders_(folders) {}

SafeFileWriter::~SafeFileWriter() {
    Discard();
}

bool SafeFileWriter::Open() {
    struct stat old {};
    if (!OpenFolder() || !LookAtTarget(old)) {
        return Fail("cannot create a file in the folder");
    }
    // A new file takes what a plain create gives; a replacement starts private and takes the
    // old file's owner and mode once they are set.
    const mode_t mode = replacing_ ? 0600 : 0666;
    if (!CreateUnnamed(mode) && !CreateNamed(mode)) {
        return Fail("cannot create a file in the folder");
    }
    if (replacing_) {
        otherNames_ = S_ISREG(old.st_mode) && old.st_nlink > 1 ? old.st_nlink - 1 : 0;
        KeepOwner(old);  // first: a change of owner drops the setuid and setgid bits
        if (::fchmod(fd_, old.st_mode & 07777) != 0) {
            return Fail("cannot set the file's permissions");
        }
    }
    return true;
}

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
    folder_ = folders_ != nullptr ? folders_->Open(folder) : OpenSaveFolder(folder);
    return folder_ != nullptr;
}

// What the target is now: whether there is a file to replace, and what it is. A link is
// followed to the file it leads to, which is then the target.
bool SafeFileWriter::LookAtTarget(struct stat& old) {
    replacing_ = ::fstatat(folder_->fd, name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!replacing_ || !S_ISLNK(old.st_mode)) {
        return true;
    }
    target_ = ResolveLink(target_);
    if (!OpenFolder()) {
        return false;
    }
    replacing_ = ::fstatat(folder_->fd, name_.c_str(), &old, 0) == 0;
    return true;
}

bool SafeFileWriter::CreateUnnamed(mode_t mode) {
    if (!ProcFdThere()) {
        return false;
    }
    fd_ = ::openat(folder_->fd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    unnamed_ = fd_ >= 0;
    return unnamed_;
}

bool SafeFileWriter::CreateNamed(mode_t mode) {
    return WithFreeName(name_, *folder_, [&](const std::string& name) {
        return temporary_.Make(folder_->fd, name, [&] {
            fd_ = ::openat(folder_->fd, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode);
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

// A piece the kernel took only in part is finished on its own before the rest go on together.
bool SafeFileWriter::WriteGathered(std::span<const std::string_view> pieces) {
    if (failed_ || fd_ < 0) {
        return false;
    }
    constexpr std::size_t kAtOnce = 64;
    std::array<iovec, kAtOnce> slices{};
    while (!pieces.empty()) {
        const std::size_t count = std::min(pieces.size(), kAtOnce);
        std::size_t wanted = 0;
        for (std::size_t i = 0; i < count; ++i) {
            slices[i] = {const_cast<char*>(pieces[i].data()), pieces[i].size()};
            wanted += pieces[i].size();
        }
        const ssize_t n = ::writev(fd_, slices.data(), static_cast<int>(count));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || (n == 0 && wanted > 0)) {
            return Fail("cannot write the file");
        }
        auto done = static_cast<std::size_t>(n);
        while (!pieces.empty() && done >= pieces.front().size()) {
            done -= pieces.front().size();
            pieces = pieces.subspan(1);
        }
        if (done > 0) {
            if (!WriteAll(pieces.front().substr(done))) {
                return false;
            }
            pieces = pieces.subspan(1);
        }
    }
    return true;
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
// between them does a temporary name exist, listed for the signals. Where no file had the name,
// the complete file takes it in one step: a link never replaces anything, so a file that turned
// up there meanwhile sends it the long way after all.
bool SafeFileWriter::Publish() {
    if (unnamed_ && !replacing_ && LinkAs(name_)) {
        if (CloseFile()) {
            return true;
        }
        const int error = errno;
        ::unlinkat(folder_->fd, name_.c_str(), 0);
        errno = error;
        return Fail("cannot write the file to disk");
    }
    if (unnamed_ && !LinkUnnamed()) {
        return Fail("cannot name the file");
    }
    if (!CloseFile()) {
        return Fail("cannot write the file to disk");
    }
    if (::renameat(folder_->fd, temporary_.Name(), folder_->fd, name_.c_str()) != 0) {
        return Fail("cannot replace the file");
    }
    temporary_.Forget();
    return true;
}

bool SafeFileWriter::CloseFile() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

bool SafeFileWriter::LinkUnnamed() {
    return WithFreeName(name_, *folder_, [&](const std::string& name) {
        return temporary_.Make(folder_->fd, name, [&] { return LinkAs(name); });
    });
}

// The file is named straight from its descriptor where the system lets this process do that
// (Linux 6.10 on, or with CAP_DAC_READ_SEARCH), and through /proc elsewhere.
bool SafeFileWriter::LinkAs(const std::string& name) {
    if (::linkat(fd_, "", folder_->fd, name.c_str(), AT_EMPTY_PATH) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    return ::linkat(AT_FDCWD, self.c_str(), folder_->fd, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
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
        ::unlinkat(folder_->fd, temporary_.Name(), 0);
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
        live, [](const SafeFileWriter& w) { return w.folder_->device; },
        [](const std::vector<SafeFileWriter*>& group) {
            if (group.size() > 1 && ::syncfs(group.front()->fd_) == 0) {
                return;
            }
            for (SafeFileWriter* writer : group) {
                writer->SyncData();
            }
        });
    std::vector<SafeFileWriter*> placed;
    {
        const SignalsHeld held;
        for (SafeFileWriter* writer : live) {
            if (!writer->failed_ && writer->Publish()) {
                placed.push_back(writer);
            }
        }
    }
    // A rename lasts only once its folder is on disk too. A folder opened only as a path
    // (one may write in it but not list it) cannot be synced, and is taken as it is.
    OncePer(
        placed,
        [](const SafeFileWriter& w) { return std::pair(w.folder_->device, w.folder_->inode); },
        [](const std::vector<SafeFileWriter*>& group) {
            const bool synced = ::fsync(group.front()->folder_->fd) == 0 || errno == EBADF;
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

void ReserveDescriptors(std::size_t count) {
    rlimit files{};
    if (count == 0 || ::getrlimit(RLIMIT_NOFILE, &files) != 0) {
        return;
    }
    // The lowest free descriptor plus count: the table never shrinks, so one descriptor that
    // high, opened and closed, leaves the room behind. A table already that large stays as it is.
    const int any = ::open("/", O_PATH | O_CLOEXEC);
    if (any < 0) {
        return;
    }
    const rlim_t wanted = std::min<rlim_t>(static_cast<rlim_t>(any) + count, files.rlim_cur - 1);
    const int high =
        ::fcntl(any, F_DUPFD_CLOEXEC, static_cast<int>(std::min<rlim_t>(wanted, INT_MAX)));
    if (high >= 0) {
        ::close(high);
    }
    ::close(any);
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
    PrepareToFill(content.data(), size + spare);
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
    // While the path still reaches the open file, looking at the path shows the file's own state.
    struct stat named {};
    const bool same = done_ == size && probe == 0 && ::stat(path_.c_str(), &named) == 0 &&
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
