#pragma once

#include <climits>
#include <functional>
#include <string_view>

namespace zep {

// The name of a temporary file that must not outlive the process: until it is renamed away or
// removed, SIGINT, SIGTERM and SIGHUP remove it before the process ends with the signal's usual
// action. Only a signal whose action is still the default is caught, so a program's own choice
// stands. SIGKILL cannot clean up: that is why a save uses unnamed files where it can.
class PendingName {
public:
    PendingName() = default;
    ~PendingName() { Forget(); }
    PendingName(const PendingName&) = delete;
    PendingName& operator=(const PendingName&) = delete;

    // Runs make(), which creates name in the open folder, and lists the name when make returns
    // true. The signals are held back in between, so none can fall between making and listing.
    // name must be shorter than NAME_MAX + 1 bytes and the folder must stay open while listed.
    bool Make(int folder, std::string_view name, const std::function<bool()>& make);

    // Takes the name off the list, once it is renamed or removed.
    void Forget();

    // The listed name, or nullptr.
    const char* Name() const { return listed_ ? name_ : nullptr; }

private:
    friend struct PendingNames;

    int folder_ = -1;
    char name_[NAME_MAX + 1] = {};
    PendingName* next_ = nullptr;
    bool listed_ = false;
};

}  // namespace zep
