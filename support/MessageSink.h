#pragma once

#include <string_view>

namespace zep {

enum class MessageIcon { None, Information, Critical };

// Modal OK boxes and Yes/No questions: the window shows them, the batch tool prints them.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // detail carries the why of a refusal, shown apart from the message text itself.
    virtual void ShowMessage(std::string_view text, MessageIcon icon,
                             std::string_view detail = {}) = 0;
    // True when each line already names the file (the batch tool); the detail then leaves it out.
    virtual bool NamesFileItself() const { return false; }
    // A question with Yes and No, No being the answer when the user just confirms. True for Yes.
    virtual bool AskYesNo(std::string_view text, std::string_view detail = {}) = 0;
};

}  // namespace zep
