#pragma once

#include <climits>
#include <functional>
#include <string_view>

namespace zep {

// A temporary name that SIGINT, SIGTERM and SIGHUP remove until it is renamed or removed; only
// default actions are caught, so a program's own stands. SIGKILL cannot clean up: hence O_TMPFILE.
class PendingName {
public:
    PendingName() = default;
    ~PendingName() { Forget(); }
    PendingName(const PendingName&) = delete;
    PendingName& operator=(const PendingName&) = delete;

    // Signals are held back from make() until the name is listed, so none falls in between.
    // name must be under NAME_MAX + 1 bytes; the folder must stay open while it is listed.
    bool Make(int folder, std::string_view name, const std::function<bool()>& make);

    void Forget();

    const char* Name() const { return listed_ ? name_ : nullptr; }

private:
    friend struct PendingNames;

    int folder_ = -1;
    char name_[NAME_MAX + 1] = {};
    PendingName* next_ = nullptr;
    bool listed_ = false;
};

}  // namespace zep
