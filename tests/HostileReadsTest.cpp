// Reading neither blocks on what is not a regular file, nor takes in a file that changed, nor
// lets a header make it allocate much beyond the file's bytes or a fixed ceiling.

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "TestWorkspace.h"
#include "ZepconvRun.h"
#include "core/ZepReader.h"

namespace zep {

TEST(HostileReads, WhatIsNotARegularFileIsRefusedWithoutBlocking) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.Zep").c_str(), 0600), 0);
    sockaddr_un address{AF_UNIX, {}};
    (dir / "sock.Zep").copy(address.sun_path, sizeof address.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::alarm(30);  // a read that blocks ends the test here
    for (const auto& [path, kind] : {std::pair{dir / "fifo.Zep", "FIFO"},
                                     {dir / "sock.Zep", "socket"},
                                     {"/dev/zero", "device"}}) {
        EXPECT_NE(LoadZEPFile(path, "0").error.reason.find(kind), std::string::npos) << path;
    }
    ::alarm(0);
    ::close(listener);
}

TEST(HostileReads, FileThatChangedSinceItWasOpenedIsRefused) {
    test::TempDir dir;
    const std::string path = dir / "a.Zep";
    const std::function<void()> changes[] = {
        [&] { std::ofstream(path, std::ios::app) << "g"; },  // grows
        [&] { std::filesystem::resize_file(path, 4); },      // shrinks
        [&] { test::Put(path, "abcdef"); },                  // replaced by another file
    };
    for (const auto& change : changes) {
        test::Put(path, "abcdef");
        SafeFileReader reader;
        ASSERT_TRUE(reader.Open(path));
        change();
        ByteBuffer bytes;
        EXPECT_FALSE(reader.Read(bytes));
        EXPECT_EQ(reader.Error(), "the file changed while it was read");
    }
}

class HeaderMemory : public ::testing::TestWithParam<bool> {};

TEST_P(HeaderMemory, StaysWithinTwiceTheFile) {
    std::string text = "F  2000 1 1 \r\n";
    text.reserve(8100000);
    for (int i = 0; i < 2000 * 2000; ++i) {
        text += GetParam() ? '1' : ' ';
        text += i % 2000 == 1999 ? "\r\n" : " ";
    }
    text += "L\r\n 1";
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    EXPECT_EQ(ParseZepFile(text, "0").ok(), GetParam());
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LE(static_cast<std::size_t>(after.ru_maxrss - before.ru_maxrss) * 1024, 2 * text.size());
}

INSTANTIATE_TEST_SUITE_P(ValidOrRefused, HeaderMemory, ::testing::Bool());

TEST(HostileReads, FiveHundredDeviationsWithoutABlockAreFilledAndSaved) {
    test::TempDir dir;
    const std::string body = "F  2 2 500 \r\n    1    2\r\n    3    4\r\na\r\nb\r\n";
    test::Put(dir / "f.Zep", body);
    EXPECT_EQ(test::Zepconv({"check", dir / "f.Zep"}).code, 0);
    ASSERT_EQ(test::Zepconv({"save", "-o", dir / "out", dir / "f.Zep"}).code, 0);
    std::string want = body;
    for (int i = 1; i <= 500; ++i) {
        want += i % 11 == 0 ? "  000.005\r\n" : "  000.005";
    }
    EXPECT_EQ(test::Contents(dir / "out/f.Zep"), want);
    EXPECT_FALSE(ParseZepFile("F  2 2 16777217 \r\n    1    2\r\n    3    4\r\na\r\nb", "0").ok());
}

}  // namespace zep
