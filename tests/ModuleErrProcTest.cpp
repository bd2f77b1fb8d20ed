#include "support/ModuleErrProc.h"

#include <gtest/gtest.h>

#include "TestWorkspace.h"

namespace zep {
namespace {

TEST(ErrProc, ShowsThreeLinesWithTheCriticalIcon) {
    test::RecordingMessages messages;
    ErrProc(messages, "InitFileAdd", 53);
    ErrProc(messages, "InitFileAdd", 0);
    ErrProc(messages, "X", -7);
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, "Unknow Error :\r\nModule:InitFileAdd\r\nCode: 53");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(messages.shown[1].text, "Unknow Error :\r\nModule:InitFileAdd\r\nCode: 0");
    EXPECT_EQ(messages.shown[2].text, "Unknow Error :\r\nModule:X\r\nCode: -7");
}

}  // namespace
}  // namespace zep
