// Host folders and names, installed extensions, message boxes, keyboard and text functions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "../support/FakeHost.h"
#include "../support/TempFolder.h"
#include "host/Opal.Util.h"
#include "platform/Files.h"
#include "platform/os/Keyboard.h"
#include "platform/os/MessageBox.h"
#include "platform/os/System.h"

namespace tavix {
namespace {

using test::TFakeHost;
using test::TTempFolder;

TEST(HexToIntDefTest, ReadsHexadecimalOrGivesTheDefault) {
  const std::pair<const char*, int32_t> cases[] = {
      {"ff", 255},       {"FF", 255},          {"0xff", 255},  {"0XfF", 255}, {"0x1a2B", 0x1A2B},
      {"00000000ff", 255}, {"7FFFFFFF", 0x7FFFFFFF}, {"FFFFFFFF", -1}, {"0", 0},
      {"fg", -9},        {" ff", -9},          {"ff ", -9},    {"-1", -9},    {"0x", -9},
      {"", -9},          {"x12", -9},          {"100000000", -9}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(HexToIntDef(text, -9), expected) << '"' << text << '"';
}

TEST(TextFunctionsTest, PathsPaddingAndTrailingCharacters) {
  EXPECT_TRUE(IsRelativePath("Library/BSDL"));
  EXPECT_FALSE(IsRelativePath("C:\\Designs"));
  EXPECT_FALSE(IsRelativePath("\\\\server\\share"));
  EXPECT_FALSE(IsRelativePath("/home/designs"));
  EXPECT_EQ(EnsureTrailingChar("a/b", '/'), "a/b/");
  EXPECT_EQ(EnsureTrailingChar("a/b/", '/'), "a/b/");
  EXPECT_EQ(EnsureTrailingChar("", '/'), "/");
  EXPECT_EQ(PadRight("ab", 5), "ab   ");
  EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
  EXPECT_EQ(PadRight("ab", -1), "ab");
}

TEST(MessageBoxesTest, OkBoxesWithTheirKindAndDefaultTitle) {
  std::vector<os::TMessageBoxRequest> shown;
  os::TMessageBoxPresenterScope scope([&](const os::TMessageBoxRequest& request) {
    shown.push_back(request);
    return os::IDOK;
  });
  EXPECT_EQ(ShowError("Failed"), os::IDOK);
  ShowWarning("Careful", "Locked");
  ShowInformation("Done");
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].Title, "Error");
  EXPECT_EQ(shown[0].Type, static_cast<uint32_t>(os::MB_OK | os::MB_ICONERROR));
  EXPECT_EQ(shown[1].Title, "Locked");
  EXPECT_EQ(shown[1].Kind(), static_cast<uint32_t>(os::MB_ICONWARNING));
  EXPECT_EQ(shown[2].Title, "Information");
  EXPECT_EQ(shown[2].Text, "Done");
  EXPECT_EQ(shown[2].Owner, 0);  // centred on the screen
}

TEST(ShortcutTest, KeyGoesToTheHostWithTheModifierStates) {
  TFakeHost host;
  os::ReleaseAllKeys();
  os::SetKeyDown(os::VK_CONTROL, true);
  EXPECT_TRUE(IsCtrlDown());
  EXPECT_FALSE(IsShiftDown());
  EXPECT_FALSE(IsAltDown());

  EXPECT_FALSE(ProcessShortcut('S'));  // the host does not know it
  EXPECT_TRUE(host.GUIManager->CallsOf(156).empty());

  host.GUIManager->Returns(158, Variant::FromBool(true));
  EXPECT_TRUE(ProcessShortcut('S'));
  const auto asked = host.GUIManager->CallsOf(158);
  const auto run = host.GUIManager->CallsOf(156);
  ASSERT_EQ(run.size(), 1u);
  for (const auto& call : {asked.back(), run.back()}) {
    EXPECT_EQ(call.Int(0), 'S');
    EXPECT_FALSE(call.Bool(1));  // Alt
    EXPECT_FALSE(call.Bool(2));  // Shift
    EXPECT_TRUE(call.Bool(3));   // Ctrl
  }
  os::ReleaseAllKeys();
}

TEST(ShortcutTest, NothingIsTakenWithoutAHost) { EXPECT_FALSE(ProcessShortcut('S')); }

TEST(HostFoldersTest, ClientFoldersComeFromTheClientApiAskedOnce) {
  EXPECT_EQ(GetClientFolder1(), "");
  EXPECT_EQ(GetEDIFFolder(), "");
  TFakeHost host;
  host.ClientAPI->Returns(770, Variant::FromString("/opt/host/Library"))
      .Returns(773, Variant::FromString("/opt/host/Examples/"))
      .Returns(774, Variant::FromString("/opt/host/Templates/"))
      .Returns(787, Variant::FromString("/opt/host/Scripts/"));
  EXPECT_EQ(GetClientFolder1(), "/opt/host/Library");
  EXPECT_EQ(GetClientFolder2(), "/opt/host/Examples/");
  EXPECT_EQ(GetClientFolder3(), "/opt/host/Templates/");
  EXPECT_EQ(GetClientFolder4(), "/opt/host/Scripts/");
  EXPECT_EQ(GetEDIFFolder(), "/opt/host/Library/EDIF/");
  EXPECT_EQ(host.Client->CallsOf(795).size(), 1u);
}

TEST(HostFoldersTest, ProgramAndModuleFolders) {
  const std::string host = GetHostFolder();
  EXPECT_EQ(host, ExtractFilePath(ProgramFile()));
  EXPECT_EQ(GetSystemFolder(), host + "System/");
  // The test program holds this code, so the module's file is the program here.
  EXPECT_EQ(GetModuleFolder(), ExtractFilePath(std::filesystem::canonical("/proc/self/exe").string()));
  EXPECT_EQ(GetModuleLibraryFolder(), GetModuleFolder() + "Library/");
}

class TempFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* saved = std::getenv("TMPDIR");
    FSaved = saved ? saved : "";
    FHadTmpdir = saved != nullptr;
  }
  void TearDown() override {
    if (FHadTmpdir)
      ::setenv("TMPDIR", FSaved.c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }
  std::string FSaved;
  bool FHadTmpdir = false;
};

TEST_F(TempFolderTest, TemporaryFilesAreNewAndInTheSystemFolder) {
  const TTempFolder folder;
  ::setenv("TMPDIR", folder.Path().c_str(), 1);
  EXPECT_EQ(GetTempFolder(), folder.Path());
  const std::string a = GetTempFileName();
  const std::string b = GetTempFileName();
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(ExtractFilePath(a), folder.Path());
  EXPECT_EQ(ExtractFileName(a).rfind("Pro", 0), 0u);
  EXPECT_TRUE(FileExists(a));

  ::setenv("TMPDIR", (folder / "gone").c_str(), 1);
  EXPECT_EQ(GetTempFileName(), "");
}

TEST_F(TempFolderTest, LongFormResolvesTheRealFolder) {
  const TTempFolder folder;
  const std::string real = folder.Folder("real");
  std::filesystem::create_directory_symlink(real, folder / "link");
  ::setenv("TMPDIR", (folder / "link").c_str(), 1);
  EXPECT_EQ(GetTempFolder(), folder / "link/");
  EXPECT_EQ(GetTempFolder(true), std::filesystem::canonical(real).string() + "/");
}

TEST(ProcessNamesTest, MatchTheSystemValues) {
  EXPECT_EQ(GetComputerName(), os::GetComputerName());
  EXPECT_EQ(GetUserName(), os::GetUserName());
  EXPECT_EQ(GetProcessIdText(), std::to_string(::getpid()));
}

TEST(ExtensionsTest, WalkSkipsDisabledItemsAndEndsFoldersWithASeparator) {
  EXPECT_TRUE(GetExtensionFolders().empty());  // no host
  TFakeHost host;
  host.AddExtension("/ext/one");
  host.AddExtension("/ext/two/", /*disabled=*/true);
  host.AddExtension("/ext/three/");
  EXPECT_EQ(GetExtensionFolders(), (std::vector<std::string>{"/ext/one/", "/ext/three/"}));
  int visited = 0;
  ForEachExtensionFolder([&](const std::string&) { return ++visited < 1; });
  EXPECT_EQ(visited, 1);
}

TEST(ExtensionsTest, PluginFilesAreFoundInTheFirstEnabledFolderHoldingThem) {
  const TTempFolder folder;
  TFakeHost host;
  const std::string disabled = folder.Folder("disabled");
  const std::string empty = folder.Folder("empty");
  const std::string first = folder.Folder("first");
  const std::string second = folder.Folder("second");
  for (const std::string& f : {disabled, first, second}) {
    folder.Write(f.substr(folder.Path().size()) + "ToolchainManager.dll", "");
    folder.Write(f.substr(folder.Path().size()) + "Zipper.so", "");
  }
  host.AddExtension(disabled, true);
  host.AddExtension(empty.substr(0, empty.size() - 1));  // registered without its separator
  host.AddExtension(first);
  host.AddExtension(second);
  EXPECT_EQ(FindPluginFile("Zipper.so"), first + "Zipper.so");
  EXPECT_EQ(FindPluginFile("Missing.so"), "");
  EXPECT_EQ(GetToolchainFolder(), first);
}

TEST(ExtensionsTest, PluginModulesLoadedAlreadyAreFoundByName) {
  // The OS stand-in serves this program (message boxes, keyboard), so it is loaded under its
  // SONAME.
  EXPECT_NE(LoadPluginModule("libtavix_os.so"), nullptr);
  EXPECT_EQ(LoadPluginModule("NoSuchModule.so"), nullptr);
}

}  // namespace
}  // namespace tavix
