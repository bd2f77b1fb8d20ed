#include "cli/Zepconv.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Verbs.h"
#include "support/AppSettings.h"
#include "support/PrintableText.h"
#include "support/ProgramInfo.h"
#include "support/SafeFileReader.h"
#include "support/StringTable.h"

namespace zep::cli {
namespace {

struct Verb {
    const char* name;
    const char* help;
    bool writes;  // takes the options of writing
    int (*run)(const Request&, std::ostream&, std::ostream&);
    void (*addOptions)(CLI::App&, Request&) = nullptr;  // the verb's own options
};

void AddSortOptions(CLI::App& verb, Request& request) {
    verb.add_flag("--no-space-last", request.settings.noSpaceLast,
                  "Sort blank labels by character code too, instead of after all others");
}

void AddCompareOptions(CLI::App& verb, Request& request) {
    verb.add_flag("--no-sort-ascii", request.settings.noSortAscii,
                  "Keep each file's own order among labels shared by as many files");
    AddSortOptions(verb, request);
    verb.add_option("--report", request.reportPath,
                    "Also write a CSV table of every label: in how many files it occurs and its "
                    "position in each")
        ->option_text("PATH");
}

void AddReportOptions(CLI::App& verb, Request& request) {
    verb.add_option("-o,--out", request.reportPath,
                    "Write the table to FILE instead of to standard output")
        ->option_text("FILE");
}

const std::vector<Verb>& Verbs() {
    static const std::vector<Verb> verbs{
        {"check", "Exit 0 when every file reads; name each refused file with the reason.", false,
         RunCheck},
        {"info", "Show each file's format field, its three counts and its labels.", false, RunInfo},
        {"save",
         "Write every file back, padded to the largest label count in the list unless "
         "--no-pad.",
         true, RunSave},
        {"sort", "Sort every file's labels by character code, then write every file.", true,
         RunSort, AddSortOptions},
        {"compare",
         "Put the labels the files share first, in one order in every file, then write every "
         "file.",
         true, RunCompare, AddCompareOptions},
        {"report",
         "Print a CSV table of every label: in how many files it occurs and its position in "
         "each. The files are only read.",
         false, RunReport, AddReportOptions},
    };
    return verbs;
}

// The standard deviation text must stay one word, or the written files would not read back.
std::string CheckTolerance(const std::string& text) {
    return IsUsableTolerance(text) ? std::string() : std::string(ResString(2010));
}

// An unusable settings file is a usage error; opened like any input, so a FIFO cannot block.
std::string CheckSettingsFile(const std::string& path) {
    SafeFileReader reader;
    if (reader.Open(path)) {
        return {};
    }
    std::error_code unknown;
    if (!std::filesystem::exists(path, unknown) && !unknown) {
        return "File does not exist: " + PrintableText(path);
    }
    return PrintableText(path) + ": " + reader.Error();
}

void AddWriteOptions(CLI::App& verb, BatchSettings& settings) {
    verb.add_option("-o,--out-dir", settings.outDir,
                    "Write DIR/<file name> instead of over each input; DIR is created")
        ->option_text("DIR");
    verb.add_option("--tolerance", settings.tolerance,
                    "Standard deviation for files without deviations and for padding "
                    "(default 000.005)")
        ->check(CLI::Validator(CheckTolerance, ""))
        ->option_text("TEXT");
    verb.add_option("--per-line", settings.perLine, "Deviation values per line (default 11)")
        ->check(CLI::Range(1, std::numeric_limits<std::int32_t>::max()))
        ->option_text("N");
    verb.add_option("--settings", settings.settingsFile,
                    "Take the options from section Setup of this settings file; the options "
                    "given here override them")
        ->check(CLI::Validator(CheckSettingsFile, ""))
        ->option_text("FILE");
    verb.add_flag("--no-pad", settings.noPad,
                  "Write every file with its own counts, never padded to the list's maximum");
}

// The first word that is not an option, when it names no verb: what the user took for one.
std::optional<std::string> UnknownVerb(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!arg.starts_with('-')) {
            const bool known = std::any_of(Verbs().begin(), Verbs().end(),
                                           [arg](const Verb& verb) { return arg == verb.name; });
            return known ? std::nullopt : std::optional<std::string>(arg);
        }
    }
    return std::nullopt;
}

std::string UsageLine() {
    std::string names;
    for (const Verb& verb : Verbs()) {
        names += names.empty() ? "" : "|";
        names += verb.name;
    }
    return "Usage: zepconv " + names + " [OPTIONS] FILE...";
}

}  // namespace

int RunZepconv(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Checks, shows and writes MORVEL coordinate files (*.Zep) as ZEP Converter does.",
                 "zepconv"};
    app.require_subcommand(1);
    app.footer("Run 'zepconv VERB --help' for the options of one verb.");
    app.set_version_flag("--version", VersionText("zepconv"),
                         "Print the version and the licence, then exit");
    Request request;
    std::vector<CLI::App*> commands;
    for (const Verb& verb : Verbs()) {
        CLI::App* command = app.add_subcommand(verb.name, verb.help);
        command->add_option("FILE", request.files, "Coordinate files, one list in this order")
            ->required();
        if (verb.writes) {
            AddWriteOptions(*command, request.settings);
        }
        if (verb.addOptions != nullptr) {
            verb.addOptions(*command, request);
        }
        commands.push_back(command);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForVersion& e) {
        out << e.what();  // the text ends with the licence's own last line end
        return kExitOk;
    } catch (const CLI::Success& e) {  // --help
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        const std::optional<std::string> unknown = UnknownVerb(argc, argv);
        err << "zepconv: "
            << (unknown ? "unknown verb '" + PrintableText(*unknown) + "'"
                        : PrintableText(e.what()))
            << '\n'
            << UsageLine() << '\n'
            << "Run 'zepconv --help' for more information.\n";
        return kExitUsage;
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (commands[i]->parsed()) {
            return Verbs()[i].run(request, out, err);
        }
    }
    return kExitUsage;
}

}  // namespace zep::cli
