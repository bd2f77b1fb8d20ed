#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/FileListView.h"
#include "support/MessageSink.h"

namespace zep::cli {

class ConsoleListView final : public FileListView {
public:
    std::int32_t AppendRow(std::string_view key, std::string_view text) override;
    std::int32_t RowCount() const override { return static_cast<std::int32_t>(rows_.size()); }
    std::string RowKey(std::int32_t position) const override { return at(position).key; }
    std::string RowText(std::int32_t position) const override { return at(position).text; }
    void SetRowText(std::int32_t position, std::string_view text) override;
    std::int32_t RowTag(std::int32_t position) const override { return at(position).tag; }
    void SetRowTag(std::int32_t position, std::int32_t tag) override { at(position).tag = tag; }
    void SetRowFullPath(std::int32_t /*position*/, std::string_view /*path*/) override {}
    void SelectRow(std::int32_t /*position*/) override {}
    void RemoveRow(std::int32_t position) override;
    void SetStatusText(std::string_view /*text*/) override {}

private:
    struct Row {
        std::string key;
        std::string text;
        std::int32_t tag = 0;
    };
    Row& at(std::int32_t position) { return rows_.at(static_cast<std::size_t>(position - 1)); }
    const Row& at(std::int32_t position) const {
        return rows_.at(static_cast<std::size_t>(position - 1));
    }

    std::vector<Row> rows_;
    std::unordered_set<std::string> keys_;  // of rows_, so a long batch checks each in one step
};

// "context: text -- detail" lines on err, line breaks as spaces, control characters escaped.
class ConsoleMessages final : public MessageSink {
public:
    explicit ConsoleMessages(std::ostream& err) : err_(err) {}

    void ShowMessage(std::string_view text, MessageIcon icon, std::string_view detail) override;
    bool NamesFileItself() const override { return !context_.empty(); }
    // Nobody can answer: the question becomes a message line and the answer is No.
    bool AskYesNo(std::string_view text, std::string_view detail) override;

    void SetContext(std::string context) { context_ = std::move(context); }
    int Count() const { return count_; }

private:
    std::ostream& err_;
    std::string context_;
    int count_ = 0;
};

}  // namespace zep::cli
