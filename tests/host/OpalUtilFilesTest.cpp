// Files locked by another user or process, their reports, and safe replacement of files.
#include <gtest/gtest.h>
#include <unistd.h>

#include "../support/FakeHost.h"
#include "../support/TempFolder.h"
#include "host/Opal.Util.h"
#include "platform/Files.h"
#include "platform/os/MessageBox.h"

namespace tavix {
namespace {

using test::ReadAll;
using test::TFakeHost;
using test::TTempFolder;

std::string LockText(const std::string& computer, const std::string& user, const std::string& pid) {
  return "ComputerName=" + computer + "\r\nUserName=" + user + "\r\nProcessID=" + pid + "\r\n";
}

struct TLockCase {
  const char* Name;
  std::string Lock;  // lock file text; empty for no lock file
  bool Valid;
  bool Locked;
  std::string Computer;  // reported holder
  std::string User;
  friend void PrintTo(const TLockCase& c, std::ostream* os) { *os << c.Name; }
};

class LockFileTest : public testing::TestWithParam<TLockCase> {};

TEST_P(LockFileTest, TellsWhetherAnotherHoldsTheFile) {
  const TLockCase& c = GetParam();
  const TTempFolder folder;
  const std::string document = folder.Write("Board.PcbDoc", "pcb");
  if (!c.Lock.empty()) folder.Write("~$Board.PcbDoc_loc", c.Lock);
  EXPECT_EQ(GetFileOwnershipDetails(document).Valid(), c.Valid);
  std::string computer = "x";
  std::string user = "x";
  EXPECT_EQ(IsFileLockedByOther(document, computer, user), c.Locked);
  if (c.Locked) {
    EXPECT_EQ(computer, c.Computer);
    EXPECT_EQ(user, c.User);
  }
}

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

const std::string kPid = std::to_string(::getpid());

INSTANTIATE_TEST_SUITE_P(
    Cases, LockFileTest,
    testing::Values(
        TLockCase{"NoLockFile", "", false, false, "", ""},
        TLockCase{"TwoOfThreeLinesIsNoLock", "ComputerName=PC7\r\nUserName=bob\r\n", false, false, "", ""},
        TLockCase{"EmptyValueIsNoLock", LockText("PC7", "", "12"), false, false, "", ""},
        TLockCase{"OtherUser", LockText(GetComputerName(), "someone-else", kPid), true, true, GetComputerName(),
                  "someone-else"},
        TLockCase{"OtherComputer", LockText("PC7", GetUserName(), kPid), true, true, "PC7", GetUserName()},
        TLockCase{"OtherProcess", LockText(GetComputerName(), GetUserName(), "1"), true, true, GetComputerName(),
                  GetUserName()},
        TLockCase{"ThisProcess", LockText(GetComputerName(), GetUserName(), kPid), true, false, "", ""},
        TLockCase{"ThisProcessNamesInOtherCase", LockText(Upper(GetComputerName()), Upper(GetUserName()), kPid),
                  true, false, "", ""}),
    [](const testing::TestParamInfo<TLockCase>& info) { return std::string(info.param.Name); });

TEST(LockFileTest, UnreadableLockFileCountsAsLocked) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser from reading";
  const TTempFolder folder;
  const std::string document = folder.Write("a.txt", "a");
  const std::string lock = folder.Write("~$a.txt_loc", LockText("PC", "u", "1"));
  ASSERT_EQ(::chmod(lock.c_str(), 0), 0);
  std::string computer, user;
  EXPECT_TRUE(IsFileLockedByOther(document, computer, user));
}

TEST(ReportLockedFileTest, KindOneAddsAHostMessage) {
  TFakeHost host;
  ReportLockedFile("/designs/Board.PcbDoc", "PC7", "bob", eLockReport_Message);
  const auto added = host.Messages->CallsOf(439);
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].Str(0), "[Locked File]");
  EXPECT_EQ(added[0].Str(1), "Board.PcbDoc is used by bob on PC7. You will not be able to save your changes.");
  EXPECT_EQ(added[0].Str(2), "Test Host");
  EXPECT_EQ(added[0].Str(3), "/designs/Board.PcbDoc");
  EXPECT_EQ(added[0].Str(4), "WorkspaceManager:OpenObject");
  EXPECT_EQ(added[0].Str(5), "FileName=/designs/Board.PcbDoc");
}

TEST(ReportLockedFileTest, KindTwoShowsAWarningBox) {
  std::vector<os::TMessageBoxRequest> shown;
  os::TMessageBoxPresenterScope scope([&](const os::TMessageBoxRequest& request) {
    shown.push_back(request);
    return os::IDOK;
  });
  ReportLockedFile("/designs/Board.PcbDoc", "PC7", "bob", eLockReport_Box);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Title, "Warning");
  EXPECT_EQ(shown[0].Text, "Board.PcbDoc is used and locked by bob on PC7.\nYou will not be able to save your changes.");
}

TEST(ReportLockedFileTest, HostCanTurnReportsOffAndIsAskedOnce) {
  TFakeHost host;
  host.ClientAPI->Returns(793, Variant::FromBool(true));
  std::vector<os::TMessageBoxRequest> shown;
  os::TMessageBoxPresenterScope scope([&](const os::TMessageBoxRequest& request) {
    shown.push_back(request);
    return os::IDOK;
  });
  ReportLockedFile("/d/a.txt", "PC7", "bob", eLockReport_Message);
  ReportLockedFile("/d/a.txt", "PC7", "bob", eLockReport_Box);
  EXPECT_TRUE(host.Messages->Calls().empty());
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(host.ClientAPI->CallsOf(793).size(), 1u);
}

// The calls the target's document received, as DISPIDs.
std::vector<DISPID> DocumentCalls(const TFakeHost& host) {
  std::vector<DISPID> ids;
  for (const auto& call : *host.Log)
    if (call.Object == "Document") ids.push_back(call.Id);
  return ids;
}

TEST(ReplaceFileSafelyTest, ReplacesBetweenTheDocumentNotifications) {
  const TTempFolder folder;
  TFakeHost host;
  const std::string target = folder.Write("Board.PcbDoc", "old");
  const std::string source = folder.Write("Board.new", "new");
  host.AddDocument(target);
  EXPECT_TRUE(ReplaceFileSafely(source, target));
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_FALSE(FileExists(source));
  EXPECT_EQ(DocumentCalls(host), (std::vector<DISPID>{100, 101}));
}

TEST(ReplaceFileSafelyTest, SameNameIsDoneAtOnce) {
  const TTempFolder folder;
  const std::string file = folder.Write("a.txt", "keep");
  EXPECT_TRUE(ReplaceFileSafely(file, file));
  EXPECT_TRUE(ReplaceFileSafely(file, folder.Path() + "./a.txt"));
  EXPECT_EQ(ReadAll(file), "keep");
}

TEST(ReplaceFileSafelyTest, FailedMoveLeavesNoPartialFileAndKeepsTheOldTarget) {
  const TTempFolder folder;
  TFakeHost host;
  const std::string missingFolderTarget = folder / "gone/Board.PcbDoc";
  const std::string source = folder.Write("Board.new", "new");
  host.AddDocument(missingFolderTarget);
  EXPECT_FALSE(ReplaceFileSafely(source, missingFolderTarget));
  EXPECT_FALSE(FileExists(source));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{});
  EXPECT_EQ(DocumentCalls(host), (std::vector<DISPID>{100, 101}));

  // A source that vanished: the old target stays whole.
  const std::string target = folder.Write("Board.PcbDoc", "old");
  EXPECT_FALSE(ReplaceFileSafely(folder / "vanished.new", target));
  EXPECT_EQ(ReadAll(target), "old");
}

TEST(ReplaceFileSafelyTest, TargetLockedByAnotherIsReportedAndKept) {
  const TTempFolder folder;
  TFakeHost host;
  const std::string target = folder.Write("Board.PcbDoc", "old");
  folder.Write("~$Board.PcbDoc_loc", LockText("PC7", "bob", "12"));
  const std::string source = folder.Write("Board.new", "new");
  host.AddDocument(target);
  EXPECT_FALSE(ReplaceFileSafely(source, target));
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_FALSE(FileExists(source));
  EXPECT_TRUE(DocumentCalls(host).empty());
  ASSERT_EQ(host.Messages->CallsOf(439).size(), 1u);
  EXPECT_EQ(host.Messages->CallsOf(439)[0].Str(1),
            "Board.PcbDoc is used by bob on PC7. You will not be able to save your changes.");
}

TEST(SaveListSafelyTest, SavesBetweenTheDocumentNotifications) {
  const TTempFolder folder;
  TFakeHost host;
  const std::string path = folder / "top.qsf";
  host.AddDocument(path);
  TStringList list;
  list.SetText("a\nb");
  EXPECT_TRUE(SaveListSafely(list, path));
  EXPECT_EQ(ReadAll(path), "a\nb\n");
  EXPECT_EQ(DocumentCalls(host), (std::vector<DISPID>{100, 101}));
}

TEST(SaveListSafelyTest, LockedPathIsLeftAlone) {
  const TTempFolder folder;
  TFakeHost host;
  const std::string path = folder.Write("top.qsf", "old");
  folder.Write("~$top.qsf_loc", LockText("PC7", "bob", "12"));
  TStringList list;
  list.Add("new");
  EXPECT_FALSE(SaveListSafely(list, path));
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(host.Messages->CallsOf(439).size(), 1u);
}

TEST(SaveListSafelyTest, FailedSaveRaisesAndStillClosesTheNotification) {
  const TTempFolder folder;
  TFakeHost host;
  const std::string path = folder / "gone/top.qsf";
  host.AddDocument(path);
  TStringList list;
  list.Add("new");
  EXPECT_THROW(SaveListSafely(list, path), EFileError);
  EXPECT_EQ(DocumentCalls(host), (std::vector<DISPID>{100, 101}));
  EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
}  // namespace tavix
