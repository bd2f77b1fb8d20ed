#include <gtest/gtest.h>

#include <QPushButton>
#include <regex>

#include "QtTestApp.h"
#include "TestWorkspace.h"
#include "app/frmAbout.h"

namespace zep {

// The about box shows the words of LICENSE as they stand, never a copy left by an old build.
TEST(Licence, AboutBoxShowsTheLicenceFile) {
    test::EnsureQtApp();
    MemoryRegistry registry;
    DetachedProcessLauncher launcher;
    test::RecordingMessages messages;
    frmAbout about(registry, launcher, messages);
    about.findChild<QPushButton*>("cmdLicence")->click();
    const std::regex space("\\s+");
    EXPECT_EQ(std::regex_replace(messages.shown.at(0).text, space, " "),
              std::regex_replace(test::Contents(ZEP_EXAMPLES_DIR "/../LICENSE"), space, " "));
}

}  // namespace zep
