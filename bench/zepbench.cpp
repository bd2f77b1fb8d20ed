// Measures the batch tool on a large coordinate file it makes itself, against plain copying.
//
//   zepbench [--zepconv PATH] [--dir DIR] [--labels N] [--runs N] [--hardening]
//
// Each case is one function that prints its figures and says whether its targets were met.
// The file cases run in DIR (default: a fresh folder under the temporary folder, on disk) and
// again in /dev/shm when it exists: there no command waits for the disk, which shows the cost
// of the work itself apart from the cost of making the saved file durable.

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
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Settings {
    std::string zepconv = ZEPCONV_PATH;
    std::string dir;
    std::int32_t labels = 2000;
    int runs = 5;
};

// One finished child: its wall time and its own peak resident memory.
struct ChildRun {
    bool ok = false;
    int exitCode = -1;
    double seconds = 0;
    double peakBytes = 0;
};

// Runs a program to its end. The child's figures come from wait4, which reports the same
// ru_maxrss as getrusage(RUSAGE_CHILDREN) would for this child alone.
ChildRun Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&quiet);
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

struct Timing {
    bool ok = true;
    double median = 0;
    double best = 0;
    double peakBytes = 0;
};

Timing Measure(const std::vector<std::string>& args, int runs) {
    Timing timing;
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const ChildRun run = Spawn(args);
        timing.ok = timing.ok && run.ok;
        seconds.push_back(run.seconds);
        timing.peakBytes = std::max(timing.peakBytes, run.peakBytes);
    }
    std::sort(seconds.begin(), seconds.end());
    timing.median = seconds[seconds.size() / 2];
    timing.best = seconds.front();
    return timing;
}

// A square coordinate file in the written form: six-decimal values, the extra space for
// values without a minus, station labels and one deviation line of eleven values. Written in
// pieces, so this process stays small (a spawned child starts out with its parent's peak).
bool MakeCoordinateFile(const std::string& path, std::int32_t n) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::string chunk;
    chunk.reserve(std::size_t{1} << 20);
    auto flush = [&] {
        std::fwrite(chunk.data(), 1, chunk.size(), file);
        chunk.clear();
    };
    chunk += "MORVEL  " + std::to_string(n) + " " + std::to_string(n) + " " + std::to_string(n) +
             " \r\n";
    char value[16];
    for (std::int32_t r = 1; r <= n; ++r) {
        for (std::int32_t c = 1; c <= n; ++c) {
            const std::uint64_t bits = next();
            const bool minus = (bits & 1u) != 0;
            std::snprintf(value, sizeof value, "%s%s0.%06u", minus ? "   " : "    ",
                          minus ? "-" : "", static_cast<unsigned>((bits >> 8) % 1000000u));
            chunk += value;
            if (c % 6 == 0) {
                chunk += "\r\n";
            }
        }
        if (n % 6 != 0) {
            chunk += "\r\n";
        }
        if (chunk.size() > (std::size_t{1} << 19)) {
            flush();
        }
    }
    for (std::int32_t i = 1; i <= n; ++i) {
        chunk += "STA" + std::to_string(10000 + i) + "\r\n";
    }
    for (std::int32_t i = 1; i <= n; ++i) {
        chunk += "  0.0" + std::to_string(10 + i % 90);
        if (i % 11 == 0) {
            chunk += "\r\n";
        }
    }
    flush();
    return std::fclose(file) == 0;
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

double Ms(double seconds) {
    return seconds * 1000.0;
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

// zepconv save of one large file against `cat IN > OUT`: at most 5 times cat's time, peak
// memory at most 2.5 times the file's size.
bool SaveVersusCat(const Settings& settings, const std::string& dir) {
    const std::string in = dir + "/in.Zep";
    const std::string catOut = dir + "/cat-out.Zep";
    const std::string outDir = dir + "/saved";
    if (!MakeCoordinateFile(in, settings.labels)) {
        std::printf("save-vs-cat: cannot write %s\n", in.c_str());
        return false;
    }
    const double size = static_cast<double>(fs::file_size(in));
    std::printf("case save-vs-cat: %d labels, %.1f MB in %s, best and median of %d runs\n",
                settings.labels, size / 1e6, dir.c_str(), settings.runs);

    const Timing cat =
        Measure({"/bin/sh", "-c", "cat '" + in + "' > '" + catOut + "'"}, settings.runs);
    const Timing save = Measure({settings.zepconv, "save", "-o", outDir, in}, settings.runs);
    if (!cat.ok || !save.ok || !SameBytes(in, outDir + "/in.Zep")) {
        std::printf("  a run failed, or the saved file differs from its input\n");
        return false;
    }
    const double ratio = save.median / cat.median;
    const double memory = save.peakBytes / size;
    std::printf("  cat IN > OUT     %8.1f ms  (median %.1f ms)\n", Ms(cat.best), Ms(cat.median));
    std::printf("  zepconv save     %8.1f ms  (median %.1f ms)\n", Ms(save.best), Ms(save.median));
    std::printf("  time             %.2fx cat (medians), target at most 5x: %s\n", ratio,
                Verdict(ratio <= 5.0));
    std::printf("  peak memory      %.1f MB = %.2fx the file, target at most 2.5x: %s\n",
                save.peakBytes / 1e6, memory, Verdict(memory <= 2.5));
    fs::remove(catOut);
    fs::remove_all(outDir);
    fs::remove(in);
    return ratio <= 5.0 && memory <= 2.5;
}

// The hardening cases (--hardening): the large file of 5000 labels, about 300 MB, against the
// same bounds, and hostile inputs that must be refused or read without running away.
bool LargeSaveVersusCat(const Settings& settings, const std::string& dir) {
    Settings large = settings;
    large.labels = 5000;
    large.runs = std::min(settings.runs, 3);
    return SaveVersusCat(large, dir);
}

bool PutBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Writes start and then fills the file up to size bytes a piece at a time, so this process
// stays small: a spawned child starts out with this process's peak memory.
template <typename Fill>
bool PutInPieces(const std::string& path, const std::string& start, std::size_t size, Fill fill) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(start.data(), 1, start.size(), file) == start.size();
    std::string piece;
    for (std::size_t done = start.size(); written && done < size; done += piece.size()) {
        piece.resize(std::min(size - done, std::size_t{1} << 20));
        fill(piece);
        written = std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
    }
    return std::fclose(file) == 0 && written;
}

// One run of zepconv on a hostile input: its exit code, time and peak memory, and whether
// these are within what the case allows.
bool HostileRun(const char* name, const std::vector<std::string>& args, int wantExit, double size,
                double memoryBound) {
    const ChildRun run = Spawn(args);
    const bool met = run.exitCode == wantExit && run.peakBytes <= memoryBound;
    std::printf(
        "  %-34s exit %d (want %d)  %8.1f ms  peak %7.1f MB (bound %.1f MB, input %.1f MB): %s\n",
        name, run.exitCode, wantExit, Ms(run.seconds), run.peakBytes / 1e6, memoryBound / 1e6,
        size / 1e6, Verdict(met));
    return met;
}

bool HostileInputs(const Settings& settings, const std::string& dir) {
    constexpr double kMiB = 1 << 20;
    std::printf("case hostile inputs in %s (stderr shows what zepconv tells the user)\n",
                dir.c_str());
    bool met = true;
    const std::string huge = dir + "/huge-counts.Zep";
    const std::string hugeText = "F  2147483647 2147483647 2147483647 \r\n    1\r\nlabel\r\n  0.1";
    met = PutBytes(huge, hugeText) && met;
    met = HostileRun("check: counts of 2147483647", {settings.zepconv, "check", huge}, 1,
                     static_cast<double>(hugeText.size()), 32 * kMiB) &&
          met;

    const std::string line = dir + "/one-line.Zep";
    const std::size_t lineSize = 50 * (std::size_t{1} << 20);
    met = PutInPieces(line, "F  1 1 1 ", lineSize,
                      [](std::string& piece) { std::fill(piece.begin(), piece.end(), '7'); }) &&
          met;
    met = HostileRun("check: 50 MB without a line end", {settings.zepconv, "check", line}, 1,
                     static_cast<double>(lineSize), 2.5 * static_cast<double>(lineSize)) &&
          met;

    // Junk under a header of 10000 rows: refused before 800 MB of cells are allocated.
    const std::string junkRows = dir + "/junk-rows.Zep";
    met = PutInPieces(junkRows, "F  10000 1 1 \r\n", 100 * (std::size_t{1} << 20),
                      [](std::string& piece) { std::fill(piece.begin(), piece.end(), 'x'); }) &&
          met;
    met = HostileRun("check: 100 MB junk, 10000 rows", {settings.zepconv, "check", junkRows}, 1,
                     100 * kMiB, 2.5 * 100 * kMiB) &&
          met;

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
    std::uint64_t state = 0x2545F4914F6CDD1Du;
    met = PutInPieces(junk, "", junkSize,
                      [&state](std::string& piece) {
                          for (char& ch : piece) {
                              state ^= state << 13;
                              state ^= state >> 7;
                              state ^= state << 17;
                              ch = static_cast<char>(state >> 56);
                          }
                      }) &&
          met;
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

// Runs a file case in a folder of its own under parent (or in dir itself when given).
bool InFolder(const Settings& settings, const fs::path& parent, const std::string& dir,
              bool (*run)(const Settings&, const std::string&)) {
    const std::string folder = dir.empty() ? MakeScratchDir(parent) : dir;
    if (folder.empty() || !fs::is_directory(folder)) {
        std::printf("no folder to work in under %s\n", parent.c_str());
        return false;
    }
    const bool met = run(settings, folder);
    if (dir.empty()) {
        fs::remove_all(folder);
    }
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    CLI::App app{"Benchmarks of the batch tool on files it makes itself.", "zepbench"};
    app.add_option("--zepconv", settings.zepconv, "The zepconv program to time");
    app.add_option("--dir", settings.dir,
                   "Folder for the files (default: a fresh one in the temporary folder)");
    app.add_option("--labels", settings.labels, "Labels of the large file")
        ->check(CLI::Range(1, 100000));
    app.add_option("--runs", settings.runs, "Runs of each command")->check(CLI::Range(1, 100));
    bool hardening = false;
    app.add_flag("--hardening", hardening,
                 "Also the 5000-label file (about 300 MB) and the hostile inputs");
    CLI11_PARSE(app, argc, argv);

    bool met = InFolder(settings, fs::temp_directory_path(), settings.dir, SaveVersusCat);
    if (fs::is_directory("/dev/shm")) {
        std::printf("(the same in memory, without waiting for the disk)\n");
        InFolder(settings, "/dev/shm", {}, SaveVersusCat);
    }
    if (hardening) {
        met =
            InFolder(settings, fs::temp_directory_path(), settings.dir, LargeSaveVersusCat) && met;
        if (fs::is_directory("/dev/shm")) {
            std::printf("(the same in memory, without waiting for the disk)\n");
            InFolder(settings, "/dev/shm", {}, LargeSaveVersusCat);
        }
        met = InFolder(settings, fs::temp_directory_path(), settings.dir, HostileInputs) && met;
    }
    return met ? 0 : 1;
}
