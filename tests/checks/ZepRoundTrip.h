#pragma once

#include <string>
#include <string_view>

#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "support/SafeFileWriter.h"

namespace zep::checks {

class StringSink final : public ByteSink {
public:
    bool Write(std::string_view bytes) override {
        text.append(bytes);
        return true;
    }
    std::string text;
};

// A file that reads is written (plain, varied per-line, padded) and read back to the same content
// and bytes; one that does not says why; then CheckReorder. Returns what went wrong, or "".
std::string CheckZepRoundTrip(std::string_view bytes);

// What a file holds, each value with its length so any bytes compare exactly; grown to a
// layout, with the layout's counts and the padding a write adds.
std::string Describe(const ZepFileContents& file, const ZepLayout& to);
std::string Describe(const ZepFileContents& file);
// A value with its length, as Describe lists it.
std::string Piece(std::string_view text);

}  // namespace zep::checks
