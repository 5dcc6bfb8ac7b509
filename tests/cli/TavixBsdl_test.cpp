// tavix bsdl as a person runs it: the built program as a child process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "../support/TempFolder.h"
#include "platform/Files.h"

namespace tavix {
namespace {

struct TBsdlRun {
  int Status;
  std::string Out, Err;
};

class TavixBsdl : public ::testing::Test {
 protected:
  TBsdlRun Run(const std::string& args) {
    const std::string out = folder / "out", err = folder / "err";
    const std::string command = "XDG_CONFIG_HOME='" + folder.Path() + "' '" + ExtractFilePath(ProgramFile()) + "tavix' " +
                                args + " >'" + out + "' 2>'" + err + "' </dev/null";
    const int raw = std::system(command.c_str());
    TBsdlRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {}, {}};
    ReadFileText(out, run.Out);
    ReadFileText(err, run.Err);
    return run;
  }
  test::TTempFolder folder;
};

TEST_F(TavixBsdl, SummarisesAVendorFileAsJson) {
  const TBsdlRun run = Run(std::string("bsdl --json ") + TAVIX_SAMPLES_DIR + "STM32F469_F479_TFBGA216.bsd");
  ASSERT_EQ(run.Status, 0) << run.Err;
  for (const char* field : {"\"source\": \"file\"", "\"entity\": \"STM32F469_F479_TFBGA216\"",
                            "\"conformance\": \"STD_1149_1_2001\"", "\"instructionLength\": 5", "\"boundaryLength\": 490",
                            "\"cells\": 490", "\"mappedPins\": 214", "\"instructions\": 5", "\"registerAssociations\": 3"})
    EXPECT_NE(run.Out.find(field), std::string::npos) << field << "\n" << run.Out;
}

TEST_F(TavixBsdl, SummarisesAShippedFileAsText) {
  const TBsdlRun run = Run("bsdl '" + ExtractFilePath(ProgramFile()) + "Library/BSDL/Altera/Arria5GZ/5AGZME5K2F40.bsd'");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("ARRIA_V_GZ_5AGZME5K2F40"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("boundary length        2775\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("IDCODE                 0x029770DD\n"), std::string::npos) << run.Out;
}

TEST_F(TavixBsdl, ABrokenFileEndsWithItsPositionedErrorAndStatusOne) {
  const std::string file = folder.Write("bad.bsd", "entity X is\n  port (A : in bit)\nend X;\n");
  const TBsdlRun run = Run("bsdl '" + file + "'");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "tavix: " + file + ":3:1: expected ';' but found 'end'\n");
  EXPECT_EQ(run.Out, "");
  const TBsdlRun missing = Run("bsdl '" + folder / "none.bsd" + "'");
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Err, "tavix: " + folder / "none.bsd" + ": cannot read the file\n");
}

TEST_F(TavixBsdl, SummarisesADeviceAndFindsItsFileInTheStoreOnceTheVendorIsKnown) {
  const TBsdlRun bare = Run("bsdl --json 20");
  ASSERT_EQ(bare.Status, 0) << bare.Err;
  for (const char* field : {"\"source\": \"device\"", "\"device\": \"5AGZME5K2F40C3N\"", "\"kind\": 20",
                            "\"entity\": \"ARRIA_V_GZ_5AGZME5K2F40\"", "\"boundaryLength\": 2775", "\"pins\": 1517",
                            "\"instructions\": 12", "\"registerAssociations\": 3", "\"storePath\": null"})
    EXPECT_NE(bare.Out.find(field), std::string::npos) << field << "\n" << bare.Out;

  // An extension declaring the family's vendor puts the store's folder in reach.
  folder.Write("ext/TavixConfig.ini", "[General]\nDeviceFamily=Arria5GZ\nDeviceVendor=Altera\nEDIF=Altera\n");
  const TBsdlRun run = Run("--extension '" + folder / "ext" + "' bsdl 5agzme1e2h29c3n");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("store                  " + ExtractFilePath(ProgramFile()) +
                         "Library/BSDL/Altera/Arria5GZ/5AGZME1E2H29.bsd\n"),
            std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("cells                  2131\n"), std::string::npos) << run.Out;
  EXPECT_EQ(Run("bsdl 99").Status, 1);
}

}  // namespace
}  // namespace tavix
