#include "support/PendingName.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace zep {

// Changes take a spin lock with signals blocked on that thread, so the handler never sees a
// half-made change nor waits on its own thread. The handler keeps the lock: the process is ending.
struct PendingNames {
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

    static std::atomic_flag& Lock() {
        static std::atomic_flag lock;
        return lock;
    }
    static PendingName*& Head() {
        static PendingName* head = nullptr;
        return head;
    }

    static void Acquire() {
        while (Lock().test_and_set(std::memory_order_acquire)) {
        }
    }

    static void OnSignal(int signal) {
        Acquire();
        for (const PendingName* pending = Head(); pending != nullptr; pending = pending->next_) {
            ::unlinkat(pending->folder_, pending->name_, 0);
        }
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }

    // Checked at every name, so a signal whose action went back to the default is caught again.
    static void CatchSignals() {
        for (int signal : kSignals) {
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_DFL &&
                (old.sa_flags & SA_SIGINFO) == 0) {
                struct sigaction action {};
                action.sa_handler = OnSignal;
                for (int held : kSignals) {
                    ::sigaddset(&action.sa_mask, held);
                }
                ::sigaction(signal, &action, nullptr);
            }
        }
    }

    template <typename Change>
    static void Locked(Change change) {
        sigset_t block;
        sigset_t saved;
        ::sigemptyset(&block);
        for (int signal : kSignals) {
            ::sigaddset(&block, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &block, &saved);
        Acquire();
        change();
        Lock().clear(std::memory_order_release);
        ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    }
};

bool PendingName::Make(int folder, std::string_view name, const std::function<bool()>& make) {
    if (listed_ || name.size() > NAME_MAX) {
        errno = listed_ ? EBUSY : ENAMETOOLONG;
        return false;
    }
    PendingNames::CatchSignals();
    int error = 0;
    PendingNames::Locked([&] {
        if (!make()) {
            error = errno;
            return;
        }
        folder_ = folder;
        std::memcpy(name_, name.data(), name.size());
        name_[name.size()] = '\0';
        next_ = PendingNames::Head();
        PendingNames::Head() = this;
        listed_ = true;
    });
    errno = error;
    return listed_;
}

void PendingName::Forget() {
    if (!listed_) {
        return;
    }
    PendingNames::Locked([this] {
        for (PendingName** at = &PendingNames::Head(); *at != nullptr; at = &(*at)->next_) {
            if (*at == this) {
                *at = next_;
                break;
            }
        }
    });
    next_ = nullptr;
    listed_ = false;
}

}  // namespace zep
