// The process-wide OS services the host sets up and the module uses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "platform/os/Keyboard.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Shell.h"
#include "platform/os/System.h"

namespace tavix::os {
namespace {

TEST(MessageBoxTest, PresenterAnswersTheBoxAndIsRemovedWithItsScope) {
  TMessageBoxRequest seen;
  {
    TMessageBoxPresenterScope scope([&](const TMessageBoxRequest& request) {
      seen = request;
      return IDNO;
    });
    EXPECT_EQ(MessageBox(7, "Delete it?", "Confirm", MB_YESNO | MB_ICONQUESTION), IDNO);
  }
  EXPECT_EQ(seen.Text, "Delete it?");
  EXPECT_EQ(seen.Title, "Confirm");
  EXPECT_EQ(seen.Owner, 7);
  EXPECT_EQ(seen.Buttons(), static_cast<uint32_t>(MB_YESNO));
  EXPECT_EQ(seen.Kind(), static_cast<uint32_t>(MB_ICONQUESTION));
  EXPECT_EQ(MessageBoxButtonsName(seen.Type), "Yes/No");
  EXPECT_EQ(MessageBoxKindName(seen.Type), "Question");

  // Without a presenter the box is written to stderr and answers OK.
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox(0, "Disk full", "Error", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Disk full"), std::string::npos);
}

TEST(KeyboardTest, KeyStateHasTheHighBitWhileDown) {
  ReleaseAllKeys();
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  SetKeyDown(VK_SHIFT, true);
  EXPECT_NE(static_cast<uint16_t>(GetKeyState(VK_SHIFT)) & 0x8000u, 0u);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
  SetKeyDown(VK_SHIFT, false);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  SetKeyDown(-1, true);  // out of range: ignored
  EXPECT_EQ(GetKeyState(-1), 0);
}

TEST(ShellTest, OpenRequestsAreRecordedForTheHost) {
  TakeShellRequests();
  EXPECT_TRUE(ShellExecute("open", "https://example.com/help", "", SW_SHOWNORMAL));
  EXPECT_FALSE(ShellExecute("open", "", "", SW_SHOWNORMAL));
  const auto requests = TakeShellRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Verb, "open");
  EXPECT_EQ(requests[0].Target, "https://example.com/help");
  EXPECT_EQ(requests[0].ShowMode, SW_SHOWNORMAL);
  EXPECT_TRUE(GetShellRequests().empty());
}

TEST(SystemTest, TempPathHonoursTmpdir) {
  const char* saved = std::getenv("TMPDIR");
  const std::string previous = saved ? saved : "";
  ::setenv("TMPDIR", "/var/tmp/tavix", 1);
  EXPECT_EQ(GetTempPath(), "/var/tmp/tavix/");
  ::unsetenv("TMPDIR");
  EXPECT_EQ(GetTempPath(), "/tmp/");
  if (saved) ::setenv("TMPDIR", previous.c_str(), 1);
}

TEST(SystemTest, ProcessNamesAreKnown) {
  EXPECT_FALSE(GetComputerName().empty());
  EXPECT_FALSE(GetUserName().empty());
  EXPECT_EQ(GetCurrentProcessId(), static_cast<uint32_t>(::getpid()));
}

}  // namespace
}  // namespace tavix::os
