#include "support/BatchCommit.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
#include <utility>
#include <vector>

#include "support/FileDescriptor.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

template <typename Key, typename Sync>
void OncePer(std::span<SafeFileWriter* const> writers, Key key, Sync sync) {
    std::map<decltype(key(*writers.front())), std::vector<SafeFileWriter*>> groups;
    for (SafeFileWriter* writer : writers) {
        groups[key(*writer)].push_back(writer);
    }
    for (const auto& [shared, group] : groups) {
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
    // One syncfs per file system; a lone file or failed syncfs is synced file by file to name it.
    OncePer(
        live, [](const SafeFileWriter& w) { return w.folder_->device; },
        [](const std::vector<SafeFileWriter*>& group) {
            if (group.size() > 1 && ::syncfs(group.front()->file_.Get()) == 0) {
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
    // A rename lasts once its folder is synced; an O_PATH folder cannot be and is taken as it is.
    OncePer(
        placed,
        [](const SafeFileWriter& w) { return std::pair(w.folder_->device, w.folder_->inode); },
        [](const std::vector<SafeFileWriter*>& group) {
            const bool synced = ::fsync(group.front()->folder_->fd.Get()) == 0 || errno == EBADF;
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
    const FileDescriptor any(::open("/", O_PATH | O_CLOEXEC));
    if (!any.IsOpen()) {
        return;
    }
    const rlim_t wanted =
        std::min<rlim_t>(static_cast<rlim_t>(any.Get()) + count, files.rlim_cur - 1);
    FileDescriptor(
        ::fcntl(any.Get(), F_DUPFD_CLOEXEC, static_cast<int>(std::min<rlim_t>(wanted, INT_MAX))))
        .Close();
}

}  // namespace zep
