#pragma once

#include <string>
#include <string_view>

namespace zep::checks {

// Reads bytes as a list of coordinate files, one after the other with a form feed between two;
// the parts that read are loaded in that order. Compare, with the options varied by the input,
// must only move whole label rows (label, deviation and coordinate row together), give every
// label the number of files holding it and order every file by that, and change nothing when a
// file cannot have its rows moved. The report must then list every non-blank label once, with
// the files and positions holding it, and no cell may begin like a spreadsheet formula.
// Returns what went wrong, or the empty text.
std::string CheckReorder(std::string_view bytes);

}  // namespace zep::checks
