// Tests of a log that cannot be opened: beside the "Could not open file" box, the path and the system's reason go
// to standard error (the seam's problem report), for a file that is missing and for a folder.
#include <string>
#include <utility>

#include "app/playback.h"
#include "tests/kelo_test.h"

namespace {

class OpenFailureTest : public KeloTest {};

}  // namespace

TEST_F(OpenFailureTest, ThePathAndTheSystemsReasonGoToStandardErrorBesideTheBox)
{
    const std::pair<std::string, std::string> failures[] = {
        {(folder / "no such.log").string(), "No such file or directory"},
        {folder.string(), "Is a directory"},
    };
    for (const auto& [path, reason] : failures) {
        testing::internal::CaptureStderr();
        openReplayLog(path);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelo: could not open " + path + ": " + reason + "\n");
    }
    ASSERT_EQ(headless::messages().size(), 2u);
    for (const headless::MessageBox& box : headless::messages()) {
        EXPECT_EQ(box.text, "Could not open file");
        EXPECT_EQ(box.caption, "Error!");
    }
}

TEST_F(OpenFailureTest, AGoodOpenSaysNothing)
{
    testing::internal::CaptureStderr();
    openReplayLog(writeFile("good.log", "[1:00:00] CHAT;PUBLIC;1;hi\n"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(viewer.playback.log.reader);
}
