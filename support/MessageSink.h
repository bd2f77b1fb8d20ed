#pragma once

#include <string_view>

namespace zep {

enum class MessageIcon { None, Information, Critical };

// Modal message boxes with one OK button, and questions, titled with the program's title. The
// window shows them; the batch tool prints them; tests record them.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // detail carries the why of a refusal, shown apart from the message text itself.
    virtual void ShowMessage(std::string_view text, MessageIcon icon,
                             std::string_view detail = {}) = 0;
    // True when the sink names the file a message is about by itself (the batch tool starts
    // every line with it); the detail then leaves the file out.
    virtual bool NamesFileItself() const { return false; }
    // A question with Yes and No, No being the answer when the user just confirms. True for Yes.
    virtual bool AskYesNo(std::string_view text, std::string_view detail = {}) = 0;
};

}  // namespace zep
