// Finding description files: the library tree, the temporary copy, archives unpacked through
// the zip component, and archives that try to write outside their folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "../support/TempFolder.h"
#include "bsdl/Extension.XCeedApi.h"
#include "bsdl/Tavix.Classes.BSDL.h"
#include "host/Opal.Util.h"
#include "platform/Files.h"

namespace tavix {
namespace {

namespace fs = std::filesystem;

// Writes a zip archive of (entry name, contents) pairs.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, contents] : entries) {
    zip_source_t* source = zip_source_buffer(archive, contents.data(), contents.size(), 0);
    ASSERT_NE(source, nullptr);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
  }
  ASSERT_EQ(zip_close(archive), 0);
}

std::string ReadText(const std::string& path) {
  std::string text;
  ReadFileText(path, text);
  return text;
}

// A scratch folder with its own temporary folder (TMPDIR points there while a test runs).
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = scratch.Path();
    temp = root + "temp/";
    library = root + "lib/";
    fs::create_directories(temp);
    fs::create_directories(library + "BSDL/Altera/Arria5GZ");
    const char* old = std::getenv("TMPDIR");
    hadTmpDir = old != nullptr;
    if (old) oldTmpDir = old;
    setenv("TMPDIR", temp.c_str(), 1);
  }
  void TearDown() override {
    if (hadTmpDir) setenv("TMPDIR", oldTmpDir.c_str(), 1);
    else unsetenv("TMPDIR");
  }
  std::string Expected(const std::string& name) { return library + "BSDL/Altera/Arria5GZ/" + name; }

  test::TTempFolder scratch;
  std::string root, temp, library, oldTmpDir;
  bool hadTmpDir = false;
};

TEST_F(StoreTest, DetermineFullPathKeepsAbsoluteNamesAndPlacesBareOnes) {
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("C:\\BSDL\\x.bsd", "Altera", "Arria5GZ", ""), "C:\\BSDL\\x.bsd");
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("\\\\server\\x.bsd", "Altera", "Arria5GZ", ""), "\\\\server\\x.bsd");
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("/opt/x.bsd", "Altera", "Arria5GZ", ""), "/opt/x.bsd");
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("5AGZME1E2H29.bsd", "Altera", "Arria5GZ", ""),
            GetModuleLibraryFolder() + "BSDL/Altera/Arria5GZ/5AGZME1E2H29.bsd");
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("5AGZME1E2H29.bsd", "Altera", "Arria5GZ", root + "lib"),
            Expected("5AGZME1E2H29.bsd"));
}

TEST_F(StoreTest, FindsTheFileItselfAndNothingForAnEmptyOrMissingName) {
  EXPECT_EQ(TBSDLEntity::FindFullBSDLPath(""), "");
  EXPECT_EQ(TBSDLEntity::FindFullBSDLPath(library + "BSDL/"), "");
  EXPECT_EQ(TBSDLEntity::FindFullBSDLPath(Expected("absent.bsd")), "");
  ASSERT_TRUE(WriteFileAtomically(Expected("there.bsd"), std::string("entity X is end X;")));
  EXPECT_EQ(TBSDLEntity::FindFullBSDLPath(Expected("there.bsd")), Expected("there.bsd"));
}

TEST_F(StoreTest, AnArchiveIsUnpackedIntoTheTemporaryFolderOnceAndItsCopyFoundAfterwards) {
  WriteZip(Expected("5AGZME1E2H29.Zip"), {{"nested/folder/5AGZME1E2H29.bsd", "entity A is end A;"},
                                          {"readme.txt", "stand-in"}});
  const std::string first = TBSDLEntity::FindFullBSDLPath(Expected("5AGZME1E2H29.bsd"));
  EXPECT_EQ(first, temp + "5AGZME1E2H29.bsd");  // paths inside the archive are dropped
  EXPECT_EQ(ReadText(first), "entity A is end A;");
  EXPECT_TRUE(FileExists(temp + "readme.txt"));

  // Without the archive the copy still answers: no second unpack is needed.
  ASSERT_TRUE(DeleteFileAt(Expected("5AGZME1E2H29.Zip")));
  EXPECT_EQ(TBSDLEntity::FindFullBSDLPath(Expected("5AGZME1E2H29.bsd")), temp + "5AGZME1E2H29.bsd");
}

TEST_F(StoreTest, AnArchiveWithoutTheFileFindsNothingAndLeavesItsFilesInTheTemporaryFolder) {
  WriteZip(Expected("other.Zip"), {{"something_else.bsd", "x"}});
  EXPECT_EQ(TBSDLEntity::FindFullBSDLPath(Expected("other.bsd")), "");
  EXPECT_TRUE(FileExists(temp + "something_else.bsd"));
}

TEST_F(StoreTest, UnpackingOverwritesExistingFilesAndReplacesAPlantedLinkInsteadOfFollowingIt) {
  const std::string outside = root + "outside.txt";
  ASSERT_TRUE(WriteFileAtomically(outside, std::string("keep")));
  ASSERT_EQ(symlink(outside.c_str(), (temp + "linked.bsd").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(temp + "old.bsd", std::string("old")));
  WriteZip(root + "a.Zip", {{"linked.bsd", "new link"}, {"old.bsd", "new"}});
  ASSERT_TRUE(TBSDLEntity::UnpackBSDLArchive(root + "a.Zip", temp));
  EXPECT_EQ(ReadText(temp + "old.bsd"), "new");
  EXPECT_EQ(ReadText(temp + "linked.bsd"), "new link");
  EXPECT_FALSE(fs::is_symlink(temp + "linked.bsd"));
  EXPECT_EQ(ReadText(outside), "keep");
}

TEST_F(StoreTest, HostileEntryNamesRefuseTheWholeArchive) {
  // Folder parts are dropped, so "../../x.bsd" lands inside; a name that is only ".." cannot.
  WriteZip(root + "flat.Zip", {{"../../x.bsd", "inside"}});
  EXPECT_TRUE(TBSDLEntity::UnpackBSDLArchive(root + "flat.Zip", temp));
  EXPECT_EQ(ReadText(temp + "x.bsd"), "inside");
  EXPECT_FALSE(FileExists(root + "x.bsd"));

  WriteZip(root + "dots.Zip", {{"good.bsd", "good"}, {"evil/..", "evil"}});
  EXPECT_FALSE(TBSDLEntity::UnpackBSDLArchive(root + "dots.Zip", temp));
  EXPECT_FALSE(FileExists(temp + "good.bsd"));  // nothing of a refused archive is written

  // With folder paths kept, a step out of the target or an absolute name is refused.
  for (const char* name : {"../escape.bsd", "/abs.bsd", "a/../../escape.bsd"}) {
    WriteZip(root + "paths.Zip", {{"fine/ok.bsd", "ok"}, {name, "evil"}});
    TXCeedZip zip(root + "paths.Zip");
    ASSERT_TRUE(zip.Loaded());
    zip.SetPreservePaths(true);
    zip.SetUnzipToFolder(temp + "kept");
    EXPECT_EQ(zip.UnZip(), xzErrorUnsafeEntry) << name;
    EXPECT_FALSE(FileExists(temp + "escape.bsd")) << name;
    EXPECT_FALSE(FileExists(temp + "kept/fine/ok.bsd")) << name;
  }
}

TEST_F(StoreTest, AMissingComponentOrArchiveMakesTheUnpackFailAndNothingMore) {
  WriteZip(root + "a.Zip", {{"a.bsd", "a"}});
  {
    TXCeedZip zip(root + "a.Zip", root + "System/ZipComponents.DLL");
    EXPECT_FALSE(zip.Loaded());
    EXPECT_EQ(zip.SetUnzipToFolder(temp), TXCeedZip::kComponentMissing);
    EXPECT_EQ(zip.UnZip(), TXCeedZip::kComponentMissing);
  }
  EXPECT_FALSE(FileExists(temp + "a.bsd"));
  EXPECT_FALSE(TBSDLEntity::UnpackBSDLArchive(root + "none.Zip", temp));
  ASSERT_TRUE(WriteFileAtomically(root + "broken.Zip", std::string("not a zip archive")));
  EXPECT_FALSE(TBSDLEntity::UnpackBSDLArchive(root + "broken.Zip", temp));

  // The component reports what it did.
  std::vector<std::string> unpacked;
  TXCeedZip zip(root + "a.Zip");
  zip.OnEvent = [&](int32_t event, const std::string& text) {
    if (event == xzEventFileUnzipped) unpacked.push_back(text);
  };
  zip.SetPreservePaths(false);
  zip.SetUnzipToFolder(temp);
  zip.AddFilesToProcess("*.*");
  EXPECT_EQ(zip.UnZip(), xzSuccess);
  EXPECT_EQ(unpacked, std::vector<std::string>{temp + "a.bsd"});
}

}  // namespace
}  // namespace tavix
