// tavix as a person runs it: the built program, started as a child process, its output and its
// exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace tavix {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Status;
  std::string Out, Err;
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(Out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

class TavixCli : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("tavix_cli_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  TRun Run(const std::string& args) {
    const std::string out = (Dir / "out").string(), err = (Dir / "err").string();
    const std::string program = ExtractFilePath(ProgramFile()) + "tavix";
    // Host data of the run stays inside the test's folder.
    const std::string command = "XDG_CONFIG_HOME='" + Dir.string() + "' '" + program + "' " + args + " >'" + out +
                                "' 2>'" + err + "' </dev/null";
    const int raw = std::system(command.c_str());
    TRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {}, {}};
    ReadFileText(out, run.Out);
    ReadFileText(err, run.Err);
    return run;
  }

  fs::path Dir;
};

TEST_F(TavixCli, DevicesListsEveryKind) {
  const TRun run = Run("devices");
  ASSERT_EQ(run.Status, 0) << run.Err;
  const auto lines = run.Lines();
  ASSERT_EQ(lines.size(), 33u);  // header and 32 kinds
  EXPECT_NE(lines[0].find("KIND"), std::string::npos);
  EXPECT_EQ(lines[1].find("   0 "), 0u);
}

TEST_F(TavixCli, CallPrintsTheResultOrTheFailureCode) {
  TRun run = Run("call 0 1023 s:TavixDriver");
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("VT_BOOL True"), std::string::npos) << run.Out;
  run = Run("call 0 503425");
  EXPECT_NE(run.Status, 0);
  EXPECT_NE(run.Out.find("E_NOTIMPL 0x80004001"), std::string::npos) << run.Out;
  run = Run("call 0 503815 0 rb:true rb:true rb:true n n");
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("False"), std::string::npos) << run.Out;
}

TEST_F(TavixCli, ErrorsAreOneLineAndNonZero) {
  const struct {
    const char* Args;
    const char* Fragment;
  } cases[] = {
      {"--module /nonexistent/Device.TVX devices", "/nonexistent/Device.TVX"},
      {"call 32 503380", "32"},
      {"call 0 notanumber", "notanumber"},
      {"picture 99 x.bmp", "out of range"},
      {"picture NOSUCHDEVICE x.bmp", "NOSUCHDEVICE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args);
    const TRun run = Run(c.Args);
    EXPECT_NE(run.Status, 0);
    EXPECT_NE(run.Err.find(c.Fragment), std::string::npos) << run.Err;
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
  }
}

TEST_F(TavixCli, ExtensionsDeclareFamilies) {
  const fs::path ext = Dir / "ext";
  fs::create_directories(ext);
  std::ofstream(ext / "TavixConfig.ini") << "[General]\nDeviceFamily=Arria5GZ\nDeviceVendor=Altera\nEDIF=ARRIA5GZ\n";
  TRun run = Run("families");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out.find("Arria5GZ "), std::string::npos);
  run = Run("--extension '" + ext.string() + "' families");
  ASSERT_EQ(run.Status, 0) << run.Err;
  const size_t row = run.Out.find("Arria5GZ ");
  ASSERT_NE(row, std::string::npos) << run.Out;
  const std::string line = run.Out.substr(row, run.Out.find('\n', row) - row);
  EXPECT_NE(line.find("Altera"), std::string::npos) << line;
  EXPECT_NE(line.find("ARRIA5GZ"), std::string::npos) << line;
}

TEST_F(TavixCli, PictureWritesABitmap) {
  const std::string file = (Dir / "device.bmp").string();
  const TRun run = Run("picture 0 '" + file + "'");
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::string bytes;
  ASSERT_TRUE(ReadFileText(file, bytes));
  EXPECT_EQ(bytes.substr(0, 2), "BM");
}


TEST_F(TavixCli, ProgramsTheSimulatedDeviceWhichKeepsItsConfigurationBetweenRuns) {
  const std::string image = (Dir / "design.rbf").string();
  ASSERT_EQ(Run("make-rbf '" + image + "' --size 4096 --usercode 0xCAFE0001").Status, 0);
  TRun run = Run("state");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("state 1"), std::string::npos) << run.Out;

  run = Run("program '" + image + "'");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("32768 bits"), std::string::npos) << run.Out;  // 4096 bytes
  EXPECT_NE(run.Out.find("Mbit/s"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("state 2"), std::string::npos) << run.Out;

  run = Run("state");
  EXPECT_NE(run.Out.find("state 2"), std::string::npos) << run.Out;
  run = Run("usercode");
  EXPECT_NE(run.Out.find("0xCAFE0001"), std::string::npos) << run.Out;
  run = Run("sample");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("pins sampled"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("CONF_DONE"), std::string::npos) << run.Out;

  run = Run("reset");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("state 1"), std::string::npos) << run.Out;
  EXPECT_NE(Run("usercode").Out.find("0xFFFFFFFF"), std::string::npos);
}

TEST_F(TavixCli, ChainOfSeveralDevicesAndTheirPositions) {
  const std::string chain = "--chain 5AGZME1E2H29C3N,5AGZME7K3F40I4N,5AGZME3H2F35C3N ";
  TRun run = Run(chain + "chain");
  ASSERT_EQ(run.Status, 0) << run.Err;
  const auto lines = run.Lines();
  ASSERT_EQ(lines.size(), 4u) << run.Out;
  EXPECT_NE(lines[2].find("0x029F70DD"), std::string::npos) << lines[2];
  EXPECT_NE(lines[3].find("5AGZME3H2F35C3N"), std::string::npos) << lines[3];

  const std::string image = (Dir / "design.rbf").string();
  ASSERT_EQ(Run("make-rbf '" + image + "' --size 1024 --usercode 7").Status, 0);
  run = Run(chain + "program '" + image + "' --device 2");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(Run(chain + "state --device 2").Out.find("state 2"), std::string::npos);
  EXPECT_NE(Run(chain + "state --device 0").Out.find("state 1"), std::string::npos);
  // Another chain is another board.
  EXPECT_NE(Run("state").Out.find("state 1"), std::string::npos);

  run = Run(chain + "state --device 3");
  EXPECT_NE(run.Status, 0);
  EXPECT_NE(run.Err.find("out of range"), std::string::npos) << run.Err;
  run = Run("program '" + (Dir / "missing.rbf").string() + "'");
  EXPECT_NE(run.Status, 0);
  EXPECT_NE(run.Err.find("missing.rbf"), std::string::npos) << run.Err;
}

}  // namespace
}  // namespace tavix
