#include "support/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "support/BatchCommit.h"
#include "support/TemporaryName.h"

namespace zep {
namespace {

// A link to a file is written through and stays; a link that leads nowhere is replaced.
std::string ResolveLink(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::shared_ptr<const SaveFolder> OpenSaveFolder(const std::string& path) {
    auto folder = std::make_shared<SaveFolder>();
    folder->fd = FileDescriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder->fd.IsOpen() && errno == EACCES) {  // a folder one may write in but not list
        folder->fd = FileDescriptor(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    struct stat info {};
    if (!folder->fd.IsOpen() || ::fstat(folder->fd.Get(), &info) != 0) {
        return nullptr;
    }
    folder->device = info.st_dev;
    folder->inode = info.st_ino;
    const long limit = ::fpathconf(folder->fd.Get(), _PC_NAME_MAX);
    folder->nameMax = static_cast<std::size_t>(limit > 16 ? limit : NAME_MAX);
    return folder;
}

}  // namespace

// A folder that cannot be opened is tried again by the next writer, which then reports why.
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
    // A replacement starts private and takes the old owner and mode once they are set.
    const mode_t mode = replacing_ ? 0600 : 0666;
    if (!CreateUnnamed(mode) && !CreateNamed(mode)) {
        return Fail("cannot create a file in the folder");
    }
    if (replacing_) {
        otherNames_ = S_ISREG(old.st_mode) && old.st_nlink > 1 ? old.st_nlink - 1 : 0;
        // Owner first, as chown drops setuid/setgid; a refused chown or chgrp never fails the save.
        [[maybe_unused]] const bool kept =
            ::fchown(file_.Get(), old.st_uid, old.st_gid) == 0 ||
            ::fchown(file_.Get(), static_cast<uid_t>(-1), old.st_gid) == 0;
        if (::fchmod(file_.Get(), old.st_mode & 07777) != 0) {
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

bool SafeFileWriter::LookAtTarget(struct stat& old) {
    replacing_ = ::fstatat(folder_->fd.Get(), name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!replacing_ || !S_ISLNK(old.st_mode)) {
        return true;
    }
    target_ = ResolveLink(target_);
    if (!OpenFolder()) {
        return false;
    }
    replacing_ = ::fstatat(folder_->fd.Get(), name_.c_str(), &old, 0) == 0;
    return true;
}

bool SafeFileWriter::CreateUnnamed(mode_t mode) {
    // An unnamed file vanishes however the process ends; naming it later needs /proc.
    static const bool named = ::access("/proc/self/fd", X_OK) == 0;
    if (!named) {
        return false;
    }
    file_ = FileDescriptor(::openat(folder_->fd.Get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    unnamed_ = file_.IsOpen();
    return unnamed_;
}

bool SafeFileWriter::CreateNamed(mode_t mode) {
    return WithFreeName(name_, folder_->nameMax, [&](const std::string& name) {
        return temporary_.Make(folder_->fd.Get(), name, [&] {
            file_ = FileDescriptor(::openat(folder_->fd.Get(), name.c_str(),
                                            O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode));
            return file_.IsOpen();
        });
    });
}

// Callers hand over large pieces (a megabyte, or a whole file), so there is no buffer of our own.
bool SafeFileWriter::Write(std::string_view bytes) {
    if (failed_ || !file_.IsOpen()) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(file_.Get(), bytes.data(), bytes.size());
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
    if (failed_ || !file_.IsOpen()) {
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
    return ::fdatasync(file_.Get()) == 0 || Fail("cannot write the file to disk");
}

// Naming and replacing run back to back; only between them does a listed temporary name exist.
// With no old file one link takes the name; if a file turned up meanwhile, it goes the long way.
bool SafeFileWriter::Publish() {
    if (unnamed_ && !replacing_ && LinkAs(name_)) {
        if (file_.Close()) {
            return true;
        }
        const int error = errno;
        ::unlinkat(folder_->fd.Get(), name_.c_str(), 0);
        errno = error;
        return Fail("cannot write the file to disk");
    }
    if (unnamed_ && !LinkUnnamed()) {
        return Fail("cannot name the file");
    }
    if (!file_.Close()) {
        return Fail("cannot write the file to disk");
    }
    if (::renameat(folder_->fd.Get(), temporary_.Name(), folder_->fd.Get(), name_.c_str()) != 0) {
        return Fail("cannot replace the file");
    }
    temporary_.Forget();
    return true;
}

bool SafeFileWriter::LinkUnnamed() {
    return WithFreeName(name_, folder_->nameMax, [&](const std::string& name) {
        return temporary_.Make(folder_->fd.Get(), name, [&] { return LinkAs(name); });
    });
}

// Named from the descriptor where allowed (Linux 6.10 on, CAP_DAC_READ_SEARCH), else via /proc.
bool SafeFileWriter::LinkAs(const std::string& name) {
    if (::linkat(file_.Get(), "", folder_->fd.Get(), name.c_str(), AT_EMPTY_PATH) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(file_.Get());
    return ::linkat(AT_FDCWD, self.c_str(), folder_->fd.Get(), name.c_str(), AT_SYMLINK_FOLLOW) ==
           0;
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
    file_.Close();
    if (temporary_.Name() != nullptr) {
        ::unlinkat(folder_->fd.Get(), temporary_.Name(), 0);
        temporary_.Forget();
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

}  // namespace zep
