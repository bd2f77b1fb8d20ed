#include "cli/ConsoleView.h"

#include "support/PrintableText.h"

namespace zep::cli {

std::int32_t ConsoleListView::AppendRow(std::string_view key, std::string_view text) {
    if (!keys_.emplace(key).second) {
        return kErrKeyNotUnique;
    }
    rows_.push_back(Row{std::string(key), std::string(text), 0});
    return 0;
}

void ConsoleListView::SetRowText(std::int32_t position, std::string_view text) {
    at(position).text = text;
}

void ConsoleListView::RemoveRow(std::int32_t position) {
    keys_.erase(at(position).key);
    rows_.erase(rows_.begin() + (position - 1));
}

void ConsoleMessages::ShowMessage(std::string_view text, MessageIcon /*icon*/,
                                  std::string_view detail) {
    ++count_;
    std::string line;
    if (!context_.empty()) {
        line = PrintableText(context_) + ": ";
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\r\n") {
            line += ' ';
            ++i;
        } else {
            line += text[i];
        }
    }
    if (!detail.empty()) {
        line += " -- ";
        line += PrintableText(detail);
    }
    err_ << line << '\n';
}

bool ConsoleMessages::AskYesNo(std::string_view text, std::string_view detail) {
    ShowMessage(text, MessageIcon::Information, detail.empty() ? "answered No" : detail);
    return false;
}

}  // namespace zep::cli
