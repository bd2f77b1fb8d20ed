#include "support/StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zep {
namespace {

using Entry = std::pair<std::int32_t, std::string_view>;

constexpr std::array kTable{
    Entry{100, "ZEP Converter"},
    Entry{101, "MS Sans Serif"},
    Entry{102, "9"},
    Entry{200, "File Name"},
    Entry{201, "Full Path"},
    Entry{300, "File Item Menu"},
    Entry{301, "&Save"},
    Entry{302, "Save &As..."},
    Entry{303, "S&ort By ASCII"},
    Entry{304, "&Remove"},
    Entry{310, "&Clear List"},
    Entry{311, "Save A&ll"},
    Entry{400, "Default standard deviation :"},
    Entry{401, "Amount per deviation line :"},
    Entry{402, "Auto Sort By ASCII Before Compare."},
    Entry{403, "Adjust String Number To MAX Number In List."},
    Entry{1000, "&File"},
    Entry{1001, "新增(&N)"},
    Entry{1002, "A&dd File..."},
    Entry{1003, "&Remove File"},
    Entry{1004, "&Save"},
    Entry{1005, "Save &As..."},
    Entry{1006, "E&xit"},
    Entry{1007, "&Edit"},
    Entry{1008, "檢視(&V)"},
    Entry{1009, "&Compare"},
    Entry{1010, "資訊網瀏覽器(&W)"},
    Entry{1011, "&Tool"},
    Entry{1012, "&Option..."},
    Entry{1013, "&Help"},
    Entry{1014, "&About..."},
    Entry{1015, "Clear List"},
    Entry{1016, "Add File"},
    Entry{1017, "Save File"},
    Entry{1018, "Remove File"},
    Entry{1019, "Sort By ASCII"},
    Entry{1020, "Compare"},
    Entry{1028, "Option"},
    Entry{1029, "Custom"},
    Entry{1030, "範例二"},
    Entry{1031, "範例三"},
    Entry{1032, "範例四"},
    Entry{1034, "&Cancel"},
    Entry{1035, "&OK"},
    Entry{1036, "About ZEP converter"},
    Entry{1037, "&System Info..."},
    Entry{1038, "&OK"},
    Entry{1039, "Programmed by the ZEP Converter developers."},
    Entry{1040, "Version"},
    Entry{1041, "Designed for the MORVEL and Vostrel coordinate workflow."},
    Entry{1042, "Convert MORVEL ZEP files to Vostrel Space."},
    Entry{1043, "When sort ASCII put SPACE string to last."},
    Entry{1100, "Coordinate Files"},
    Entry{1101, "Add Coordinate File"},
    Entry{1102, "Save Coordinate File As"},
    Entry{1200, "Position"},
    Entry{1201, "Label"},
    Entry{1202, "Match Count"},
    Entry{1203, "Deviation"},
    Entry{2000, "Wrong file format!"},
    Entry{2001, "This file already in list!"},
    Entry{2002, "File unwriteble!!!"},
    Entry{2003, "File Name : "},
    Entry{2004, "Max Number : "},
    Entry{2005, "The compare has been done, now you may save your new files!"},
    Entry{2006, "The sort has been done, now you may save your new files!"},
    Entry{2007, "Project home: https://zepconverter.example.org"},
    Entry{2008, "Amount per deviation line, Value must be INTEGER!"},
    Entry{2009, "Amount per deviation line, Value muse great then 1."},
    Entry{2010, "Default standard deviation, Value must be one word without spaces!"},
    Entry{2011, "Saved as a new file: the file's other names keep the old content."},
    Entry{2012, "The file was changed by another program since it was read. Replace it?"},
    Entry{2013, "This file is no longer there and has left the recent files: "},
};

}  // namespace

std::optional<std::string_view> FindResString(std::int32_t id) {
    auto it = std::find_if(kTable.begin(), kTable.end(),
                           [id](const Entry& entry) { return entry.first == id; });
    return it == kTable.end() ? std::nullopt : std::optional(it->second);
}

}  // namespace zep
