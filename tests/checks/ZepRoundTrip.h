#pragma once

#include <string>
#include <string_view>

namespace zep::checks {

// Reads bytes as a coordinate file. A file that reads is written (plain with the default and a
// varied per-line amount, and padded to a larger list) and read again: the second read must
// give the same counts, format field, coordinates, labels and deviations, with the padding
// where the padded form adds it, and writing that again must give the same bytes. A file that
// does not read must say why. Then the bytes, taken as a list of files, go through Compare and
// the report (CheckReorder). Returns what went wrong, or the empty text.
std::string CheckZepRoundTrip(std::string_view bytes);

}  // namespace zep::checks
