#pragma once

#include <string>
#include <string_view>

#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "support/SafeFileWriter.h"

namespace zep::checks {

// Collects the written bytes in memory.
class StringSink final : public ByteSink {
public:
    bool Write(std::string_view bytes) override {
        text.append(bytes);
        return true;
    }
    std::string text;
};

// Reads bytes as a coordinate file. A file that reads is written (plain with the default and a
// varied per-line amount, and padded to a larger list) and read again: the second read must
// give the same counts, format field, coordinates, labels and deviations, with the padding
// where the padded form adds it, and writing that again must give the same bytes. A file that
// does not read must say why. Then the bytes, taken as a list of files, go through Compare and
// the report (CheckReorder). Returns what went wrong, or the empty text.
std::string CheckZepRoundTrip(std::string_view bytes);

// What a file read holds, each value with its length so that any bytes compare exactly: the
// format field, the counts, the coordinates row by row, the labels and the deviations. Grown to
// a layout, the counts are the layout's and the values it adds are the padding a write adds.
std::string Describe(const ZepFileContents& file, const ZepLayout& to);
std::string Describe(const ZepFileContents& file);

}  // namespace zep::checks
