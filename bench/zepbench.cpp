// Measures the batch tool against plain copying of the same bytes, on inputs it makes itself.
//
//   zepbench [--zepconv PATH] [--against PATH] [--only CASE] [--dir DIR] [--runs N] [--labels N]
//            [--hardening]
//
// Every time is a ratio to cp or cat on the same bytes in the same run: the medians of N runs
// (7 at least) in which the two commands take turns, so that load from elsewhere falls on both
// alike. Memory is the peak resident size of the zepconv run as a multiple of its input. The
// files live in DIR (default: a fresh folder under the temporary folder, on disk). zepconv
// makes every saved file durable before it replaces the old one; cp and cat do not. With
// --against, a second zepconv takes its turn in the same runs, in every order, so that two
// builds can be told apart by the ratio of their medians.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Settings {
    std::string zepconv = ZEPCONV_PATH;
    std::string against;  // a second zepconv, timed alongside
    std::string only;     // one case of the three timed ones
    std::string dir;
    std::int32_t labels = 2000;
    int runs = 7;
};

// One finished child: its wall time and its own peak resident memory.
struct ChildRun {
    bool ok = false;
    int exitCode = -1;
    double seconds = 0;
    double peakBytes = 0;
};

// Runs a program to its end, its output going to out (default: nowhere). The child's figures
// come from wait4, which reports its own ru_maxrss.
ChildRun Spawn(const std::vector<std::string>& args, const std::string& out = "/dev/null") {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ChildRun run;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0644);
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return run;
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) {
        return run;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.ok = run.exitCode == 0;
    return run;
}

// A command as timed: its arguments and where its output goes.
struct Command {
    std::vector<std::string> args;
    std::string out = "/dev/null";
};

struct Pair {
    bool ok = true;
    double baseline = 0;  // median seconds
    double ours = 0;
    double peakBytes = 0;  // of ours
    double other = 0;      // of --against, when given
    double otherPeakBytes = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs baseline, ours and --against in turn, each run after prepare and after the disk has
// caught up with what earlier runs wrote (outside the timing), so that a sync of ours does not
// wait for them.
Pair Interleaved(const Settings& settings, const Command& baseline, const Command& ours, int runs,
                 const std::function<void()>& prepare) {
    std::vector<Command> commands{baseline, ours};
    if (!settings.against.empty()) {
        commands.push_back(ours);
        commands.back().args.front() = settings.against;
    }
    std::vector<std::vector<double>> times(commands.size());
    std::vector<double> peaks(commands.size(), 0.0);
    Pair pair;
    // Every order in turn, so that each command goes first, and follows each other one, as often.
    std::vector<std::size_t> order(commands.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    for (int i = 0; i < runs; ++i, std::next_permutation(order.begin(), order.end())) {
        for (const std::size_t k : order) {
            prepare();
            ::sync();
            const ChildRun run = Spawn(commands[k].args, commands[k].out);
            pair.ok = pair.ok && run.ok;
            times[k].push_back(run.seconds);
            peaks[k] = std::max(peaks[k], run.peakBytes);
        }
    }
    pair.baseline = Median(times[0]);
    pair.ours = Median(times[1]);
    pair.peakBytes = peaks[1];
    if (commands.size() > 2) {
        pair.other = Median(times[2]);
        pair.otherPeakBytes = peaks[2];
    }
    return pair;
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

bool ReportTime(const char* what, const char* baseline, const Pair& pair, double target) {
    const double ratio = pair.ours / pair.baseline;
    std::printf("  %-30s %8.1f ms  %-5s %8.1f ms  %5.2fx (target at most %.1fx): %s\n", what,
                pair.ours * 1e3, baseline, pair.baseline * 1e3, ratio, target,
                Verdict(ratio <= target));
    if (pair.other > 0) {
        std::printf(
            "  %-30s %8.1f ms  %-5s %8.1f ms  %5.2fx  B/A %.3f (A %.1f ms, B %.1f ms), "
            "peak A %.1f MB, B %.1f MB\n",
            "against", pair.other * 1e3, baseline, pair.baseline * 1e3, pair.other / pair.baseline,
            pair.other / pair.ours, pair.ours * 1e3, pair.other * 1e3, pair.peakBytes / 1e6,
            pair.otherPeakBytes / 1e6);
    }
    return ratio <= target;
}

bool ReportMemory(const char* what, double peakBytes, double inputBytes, double target) {
    const double ratio = peakBytes / inputBytes;
    std::printf("  %-30s %8.1f MB  input %7.1f MB  %5.2fx (target at most %.1fx): %s\n", what,
                peakBytes / 1e6, inputBytes / 1e6, ratio, target, Verdict(ratio <= target));
    return ratio <= target;
}

// Writes a file a piece at a time, so this process stays small: a spawned child starts out
// with its parent's peak memory.
class PieceWriter {
public:
    explicit PieceWriter(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
        chunk_.reserve(kPiece * 2);
    }
    ~PieceWriter() { Close(); }
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;

    void Put(std::string_view bytes) {
        chunk_ += bytes;
        if (chunk_.size() >= kPiece) {
            Flush();
        }
    }
    bool Close() {
        if (file_ == nullptr) {
            return false;
        }
        Flush();
        const bool ok = ok_ && std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    static constexpr std::size_t kPiece = std::size_t{1} << 19;
    void Flush() {
        ok_ = ok_ && file_ != nullptr &&
              std::fwrite(chunk_.data(), 1, chunk_.size(), file_) == chunk_.size();
        chunk_.clear();
    }

    std::FILE* file_;
    std::string chunk_;
    bool ok_ = true;
};

std::uint64_t NextRandom(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// A square coordinate file in the written form: six-decimal values, the extra space for values
// without a minus, the given labels and deviation lines of eleven values.
bool MakeCoordinateFile(const std::string& path, const std::vector<std::string>& labels,
                        std::uint64_t seed) {
    const auto n = static_cast<std::int32_t>(labels.size());
    PieceWriter out(path);
    out.Put("MORVEL  " + std::to_string(n) + " " + std::to_string(n) + " " + std::to_string(n) +
            " \r\n");
    std::uint64_t state = seed | 1;
    char value[16];
    for (std::int32_t r = 1; r <= n; ++r) {
        for (std::int32_t c = 1; c <= n; ++c) {
            const std::uint64_t bits = NextRandom(state);
            const bool minus = (bits & 1u) != 0;
            std::snprintf(value, sizeof value, "%s%s0.%06u", minus ? "   " : "    ",
                          minus ? "-" : "", static_cast<unsigned>((bits >> 8) % 1000000u));
            out.Put(value);
            if (c % 6 == 0) {
                out.Put("\r\n");
            }
        }
        if (n % 6 != 0) {
            out.Put("\r\n");
        }
    }
    for (const std::string& label : labels) {
        out.Put(label + "\r\n");
    }
    for (std::int32_t i = 1; i <= n; ++i) {
        out.Put("  0.0" + std::to_string(10 + i % 90));
        if (i % 11 == 0) {
            out.Put("\r\n");
        }
    }
    return out.Close();
}

// Labels "STA" + number, n of them drawn from a pool of pool numbers, so that files made with
// different seeds share some of their labels.
std::vector<std::string> StationLabels(std::int32_t n, std::int32_t pool, std::uint64_t seed) {
    std::vector<std::int32_t> numbers(static_cast<std::size_t>(pool));
    for (std::int32_t i = 0; i < pool; ++i) {
        numbers[static_cast<std::size_t>(i)] = 10000 + i;
    }
    std::uint64_t state = seed | 1;
    for (std::size_t i = numbers.size(); i > 1; --i) {
        std::swap(numbers[i - 1], numbers[NextRandom(state) % i]);
    }
    std::vector<std::string> labels;
    for (std::int32_t i = 0; i < n; ++i) {
        labels.push_back("STA" + std::to_string(numbers[static_cast<std::size_t>(i)]));
    }
    return labels;
}

bool SameBytes(const std::string& a, const std::string& b) {
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    std::vector<char> x(std::size_t{1} << 20);
    std::vector<char> y(x.size());
    while (left && right) {
        left.read(x.data(), static_cast<std::streamsize>(x.size()));
        right.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (left.gcount() != right.gcount() ||
            !std::equal(x.begin(), x.begin() + left.gcount(), y.begin())) {
            return false;
        }
    }
    return left.eof() && right.eof();
}

void Empty(const std::string& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir);
}

double TotalSize(const std::vector<std::string>& files) {
    double total = 0;
    for (const std::string& file : files) {
        total += static_cast<double>(fs::file_size(file));
    }
    return total;
}

// count coordinate files prefix0.Zep, prefix1.Zep ... of n labels drawn from a pool, sharing some
// of them; empty when one cannot be written.
std::vector<std::string> MakeFiles(const std::string& prefix, int count, std::int32_t n,
                                   std::int32_t pool, std::uint64_t seed) {
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(prefix + std::to_string(i) + ".Zep");
        const auto at = static_cast<std::uint64_t>(i);
        if (!MakeCoordinateFile(files.back(), StationLabels(n, pool, seed + at), 2 * seed + at)) {
            std::printf("cannot write %s\n", files.back().c_str());
            return {};
        }
    }
    return files;
}

// zepconv save of 1000 files of 40 labels into a folder, against cp of them into another.
bool ManySmallFiles(const Settings& settings, const std::string& dir) {
    const std::vector<std::string> files = MakeFiles(dir + "/small", 1000, 40, 60, 7);
    if (files.empty()) {
        return false;
    }
    const std::string cpOut = dir + "/cp-out";
    const std::string zepOut = dir + "/zep-out";
    std::vector<std::string> cp{"/bin/cp"};
    cp.insert(cp.end(), files.begin(), files.end());
    cp.push_back(cpOut);
    std::vector<std::string> save{settings.zepconv, "save", "-o", zepOut};
    save.insert(save.end(), files.begin(), files.end());
    std::printf("case many small files: 1000 files of 40 labels, %.1f MB\n",
                TotalSize(files) / 1e6);
    const Pair pair = Interleaved(settings, {cp}, {save}, settings.runs, [&] {
        Empty(cpOut);
        fs::remove_all(zepOut);
    });
    // Made again: the last of the runs may have been cp's.
    const bool same = pair.ok && Spawn(save).ok && SameBytes(files[0], zepOut + "/small0.Zep");
    for (const std::string& file : files) {
        fs::remove(file);
    }
    fs::remove_all(cpOut);
    fs::remove_all(zepOut);
    return same && ReportTime("zepconv save -o DIR", "cp", pair, 2.0);
}

// zepconv compare of 20 files of 500 labels, written into a folder, against cat of them.
bool CompareManyFiles(const Settings& settings, const std::string& dir) {
    const std::vector<std::string> files = MakeFiles(dir + "/compare", 20, 500, 700, 101);
    if (files.empty()) {
        return false;
    }
    const std::string zepOut = dir + "/zep-out";
    std::vector<std::string> cat{"/bin/cat"};
    cat.insert(cat.end(), files.begin(), files.end());
    std::vector<std::string> compare{settings.zepconv, "compare", "-o", zepOut};
    compare.insert(compare.end(), files.begin(), files.end());
    std::printf("case compare: 20 files of 500 labels, %.1f MB\n", TotalSize(files) / 1e6);
    const Pair pair = Interleaved(settings, {cat, dir + "/cat-out"}, {compare}, settings.runs,
                                  [&] { fs::remove_all(zepOut); });
    for (const std::string& file : files) {
        fs::remove(file);
    }
    fs::remove(dir + "/cat-out");
    fs::remove_all(zepOut);
    return pair.ok && ReportTime("zepconv compare -o DIR", "cat", pair, 3.0);
}

// zepconv save of one large file against cat of it.
bool SaveLargeFile(const Settings& settings, const std::string& dir, std::int32_t labels,
                   int runs) {
    const std::string in = dir + "/large.Zep";
    const std::string zepOut = dir + "/zep-out";
    if (!MakeCoordinateFile(in, StationLabels(labels, labels, 3), 5)) {
        std::printf("cannot write %s\n", in.c_str());
        return false;
    }
    const double size = static_cast<double>(fs::file_size(in));
    std::printf("case one large file: %d labels, %.1f MB\n", labels, size / 1e6);
    const Pair pair = Interleaved(settings, {{"/bin/cat", in}, dir + "/cat-out"},
                                  {{settings.zepconv, "save", "-o", zepOut, in}}, runs, [] {});
    const bool same = pair.ok && SameBytes(in, zepOut + "/large.Zep");
    if (!same) {
        std::printf("  a run failed, or the saved file differs from its input\n");
    }
    const bool time = ReportTime("zepconv save -o DIR", "cat", pair, 3.5);
    const bool memory = ReportMemory("peak memory of the save", pair.peakBytes, size, 1.5);
    fs::remove(in);
    fs::remove(dir + "/cat-out");
    fs::remove_all(zepOut);
    return same && time && memory;
}

// The densest valid file: values of one byte, one row a line with single spaces between.
bool OneByteValues(const Settings& settings, const std::string& dir) {
    const std::string in = dir + "/ones.Zep";
    const std::int32_t n = 3000;
    {
        PieceWriter out(in);
        out.Put("F  " + std::to_string(n) + " " + std::to_string(n) + " " + std::to_string(n) +
                " \r\n");
        std::string row;
        for (std::int32_t c = 1; c <= n; ++c) {
            row += c == 1 ? "1" : " 1";
        }
        row += "\r\n";
        for (std::int32_t r = 0; r < n; ++r) {
            out.Put(row);
        }
        for (std::int32_t i = 0; i < n; ++i) {
            out.Put("L\r\n");
        }
        for (std::int32_t i = 0; i < n; ++i) {
            out.Put(" 1");
        }
        if (!out.Close()) {
            return false;
        }
    }
    const double size = static_cast<double>(fs::file_size(in));
    std::printf("case values of one byte: %d labels, %.1f MB\n", n, size / 1e6);
    const ChildRun run = Spawn({settings.zepconv, "save", "-o", dir + "/zep-out", in});
    fs::remove(in);
    fs::remove_all(dir + "/zep-out");
    return run.ok && ReportMemory("peak memory of the save", run.peakBytes, size, 3.0);
}

bool PutBytes(const std::string& path, const std::string& bytes) {
    PieceWriter out(path);
    out.Put(bytes);
    return out.Close();
}

// Writes start and then fills the file up to size bytes with fill.
bool PutFilled(const std::string& path, const std::string& start, std::size_t size, char fill) {
    PieceWriter out(path);
    out.Put(start);
    const std::string piece(std::size_t{1} << 20, fill);
    for (std::size_t done = start.size(); done < size; done += piece.size()) {
        out.Put(std::string_view(piece).substr(0, std::min(piece.size(), size - done)));
    }
    return out.Close();
}

// One run of zepconv on a hostile input: its exit code and peak memory, within their bounds.
bool HostileRun(const char* name, const std::vector<std::string>& args, int wantExit, double size,
                double memoryBound) {
    const ChildRun run = Spawn(args);
    const bool met = run.exitCode == wantExit && run.peakBytes <= memoryBound;
    std::printf(
        "  %-34s exit %d (want %d)  %8.1f ms  peak %7.1f MB (bound %.1f MB, input %.1f MB): %s\n",
        name, run.exitCode, wantExit, run.seconds * 1e3, run.peakBytes / 1e6, memoryBound / 1e6,
        size / 1e6, Verdict(met));
    return met;
}

bool HostileInputs(const Settings& settings, const std::string& dir) {
    constexpr double kMiB = 1 << 20;
    std::printf("case hostile inputs (stderr shows what zepconv tells the user)\n");
    bool met = true;
    const std::string huge = dir + "/huge-counts.Zep";
    const std::string hugeText = "F  2147483647 2147483647 2147483647 \r\n    1\r\nlabel\r\n  0.1";
    met = PutBytes(huge, hugeText) && met;
    met = HostileRun("check: counts of 2147483647", {settings.zepconv, "check", huge}, 1,
                     static_cast<double>(hugeText.size()), 32 * kMiB) &&
          met;

    const std::string line = dir + "/one-line.Zep";
    const std::size_t lineSize = 50 * (std::size_t{1} << 20);
    met = PutFilled(line, "F  1 1 1 ", lineSize, '7') && met;
    met = HostileRun("check: 50 MB without a line end", {settings.zepconv, "check", line}, 1,
                     static_cast<double>(lineSize), 2.0 * static_cast<double>(lineSize)) &&
          met;

    // Headers of 10000 rows over 100 MB that hold far fewer values: refused at about the
    // file's own size.
    const std::string junkRows = dir + "/junk-rows.Zep";
    for (const char fill : {'x', ' '}) {
        met = PutFilled(junkRows, "F  10000 1 1 \r\n", 100 * (std::size_t{1} << 20), fill) && met;
        met = HostileRun(fill == 'x' ? "check: 100 MB junk, 10000 rows"
                                     : "check: 100 MB spaces, 10000 rows",
                         {settings.zepconv, "check", junkRows}, 1, 100 * kMiB, 2 * 100 * kMiB) &&
              met;
    }

    const std::string labels = dir + "/labels.Zep";
    std::string labelText = "BIG  1 3 1 \r\n    1\r\n";
    for (int i = 0; i < 3; ++i) {
        labelText += std::string(std::size_t{1} << 20, static_cast<char>('a' + i)) + "\r\n";
    }
    labelText += "  0.1";
    met = PutBytes(labels, labelText) && met;
    const std::string out = dir + "/out";
    met = HostileRun("save: three labels of 1 MB", {settings.zepconv, "save", "-o", out, labels}, 0,
                     static_cast<double>(labelText.size()),
                     2.5 * static_cast<double>(labelText.size()) + 32 * kMiB) &&
          met;
    met = SameBytes(labels, out + "/labels.Zep") && met;

    const std::string junk = dir + "/junk.ini";
    const std::size_t junkSize = 100 * (std::size_t{1} << 20);
    {
        PieceWriter junkOut(junk);
        std::uint64_t state = 0x2545F4914F6CDD1Du;
        std::string piece(std::size_t{1} << 20, ' ');
        for (std::size_t done = 0; done < junkSize; done += piece.size()) {
            for (char& ch : piece) {
                ch = static_cast<char>(NextRandom(state) >> 56);
            }
            junkOut.Put(piece);
        }
        met = junkOut.Close() && met;
    }
    met = HostileRun("save --settings: 100 MB of junk",
                     {settings.zepconv, "save", "--settings", junk, "-o", out, labels}, 0,
                     static_cast<double>(junkSize), 2.5 * static_cast<double>(junkSize)) &&
          met;
    for (const std::string& path : {huge, line, junkRows, labels, junk}) {
        fs::remove(path);
    }
    fs::remove_all(out);
    return met;
}

std::string MakeScratchDir(const fs::path& parent) {
    std::string pattern = (parent / "zepbench.XXXXXX").string();
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

void PrintLoad(const char* when) {
    double load[3] = {};
    if (::getloadavg(load, 3) == 3) {
        std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    CLI::App app{"Benchmarks of the batch tool on files it makes itself.", "zepbench"};
    app.add_option("--zepconv", settings.zepconv, "The zepconv program to time");
    app.add_option("--against", settings.against, "A second zepconv, timed alongside the first");
    app.add_option("--only", settings.only, "Only this timed case")
        ->check(CLI::IsMember({"small", "compare", "large"}));
    app.add_option("--dir", settings.dir,
                   "Folder for the files (default: a fresh one in the temporary folder)");
    app.add_option("--labels", settings.labels, "Labels of the large file")
        ->check(CLI::Range(1, 100000));
    app.add_option("--runs", settings.runs, "Runs of each command, 7 or more")
        ->check(CLI::Range(7, 100));
    bool hardening = false;
    app.add_flag("--hardening", hardening,
                 "Also a 5000-label file (about 300 MB) and hostile inputs");
    CLI11_PARSE(app, argc, argv);

    const std::string dir =
        settings.dir.empty() ? MakeScratchDir(fs::temp_directory_path()) : settings.dir;
    if (dir.empty() || !fs::is_directory(dir)) {
        std::printf("no folder to work in\n");
        return 1;
    }
    std::printf("zepconv %s, files in %s, medians of %d interleaved runs\n",
                settings.zepconv.c_str(), dir.c_str(), settings.runs);
    PrintLoad("before");
    const auto wanted = [&](const char* name) {
        return settings.only.empty() || settings.only == name;
    };
    bool met = !wanted("small") || ManySmallFiles(settings, dir);
    met = (!wanted("compare") || CompareManyFiles(settings, dir)) && met;
    met = (!wanted("large") || SaveLargeFile(settings, dir, settings.labels, settings.runs)) && met;
    met = (!settings.only.empty() || OneByteValues(settings, dir)) && met;
    if (hardening) {
        met = SaveLargeFile(settings, dir, 5000, 7) && met;
        met = HostileInputs(settings, dir) && met;
    }
    PrintLoad("after");
    if (settings.dir.empty()) {
        fs::remove_all(dir);
    }
    return met ? 0 : 1;
}
