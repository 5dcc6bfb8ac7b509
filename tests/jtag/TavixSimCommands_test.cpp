// The tavix commands of the JTAG simulation, run as a person runs them: sim-server serving
// OpenOCD until interrupted, make-rbf and check-rbf.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "platform/Files.h"
#include "tests/jtag/JtagSimTestSupport.h"

namespace tavix::jtagsim {
namespace {

using namespace std::chrono_literals;
using testing::TChildProcess;

std::string Tavix() { return ExtractFilePath(ProgramFile()) + "tavix"; }

class TavixSimCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FileExists(Tavix())) GTEST_SKIP() << "tavix is not built beside the tests";
    Folder = std::filesystem::temp_directory_path() / ("tavix_sim_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder);
  }
  void TearDown() override {
    if (!Folder.empty()) std::filesystem::remove_all(Folder);
  }
  std::filesystem::path Folder;
};

TEST_F(TavixSimCommands, SimServerServesOpenOcdUntilInterrupted) {
  if (::access(testing::kOpenOcd, X_OK) != 0) GTEST_SKIP() << "OpenOCD is not installed at " << testing::kOpenOcd;
  // Two catalog devices around a foreign one read from its BSDL file.
  const std::string foreign = TAVIX_SAMPLES_DIR "STM32F469_F479_LQFP176.bsd";
  const std::string chain = FileExists(foreign) ? "5AGZME3H2F35C3N," + foreign + ",31" : "5AGZME3H2F35C3N,20,31";
  TChildProcess server({Tavix(), "--chain", chain, "sim-server", "--remote-bitbang", "0"});
  ASSERT_TRUE(server.Started());
  ASSERT_TRUE(server.WaitForOutput("Ctrl-C stops.", 20s)) << server.Output();

  // The configuration the server prints is what OpenOCD gets.
  const std::string banner = server.Output();
  const size_t from = banner.find("OpenOCD configuration:\n"), to = banner.find("Ctrl-C stops.");
  ASSERT_NE(from, std::string::npos) << banner;
  const std::string config = banner.substr(from + 23, to - from - 23);
  const std::string file = (Folder / "server.cfg").string();
  std::ofstream(file) << config << "init\nshutdown\n";
  TChildProcess openocd({testing::kOpenOcd, "-f", file});
  EXPECT_EQ(openocd.Finish(60s), 0) << openocd.Output();

  const std::regex tap(R"(jtag newtap (p\d) tap -irlen (\d+) -expected-id (0x[0-9a-f]{8}))");
  int taps = 0;
  for (auto it = std::sregex_iterator(config.begin(), config.end(), tap); it != std::sregex_iterator(); ++it, ++taps) {
    const std::string found = (*it)[1].str() + ".tap tap/device found: " + (*it)[3].str();
    EXPECT_NE(openocd.Output().find(found), std::string::npos) << found << "\n" << openocd.Output();
  }
  EXPECT_EQ(taps, 3) << config;
  EXPECT_EQ(openocd.Output().find("UNEXPECTED"), std::string::npos) << openocd.Output();

  server.Signal(SIGINT);
  EXPECT_EQ(server.Finish(20s), 0) << server.Output();
  EXPECT_NE(server.Output().find("Stopped after 1 connection(s)."), std::string::npos) << server.Output();
}

TEST_F(TavixSimCommands, SimServerRefusesAnUnknownDevice) {
  TChildProcess server({Tavix(), "--chain", "5AGZME1E2H29C3N,EP2C35", "sim-server", "--remote-bitbang", "0"});
  EXPECT_EQ(server.Finish(20s), 1);
  EXPECT_NE(server.Output().find("\"EP2C35\" is no Arria V GZ device"), std::string::npos) << server.Output();
  TChildProcess missing({Tavix(), "--chain", "0," + (Folder / "none.bsd").string(), "sim-server", "--remote-bitbang", "0"});
  EXPECT_EQ(missing.Finish(20s), 1);
  EXPECT_NE(missing.Output().find("none.bsd"), std::string::npos) << missing.Output();
}

TEST_F(TavixSimCommands, MakeRbfWritesImagesThatCheckRbfAccepts) {
  const std::string file = (Folder / "design.rbf").string();
  TChildProcess make({Tavix(), "make-rbf", file, "--size", "5000", "--usercode", "0x12AB"});
  ASSERT_EQ(make.Finish(20s), 0) << make.Output();
  EXPECT_EQ(std::filesystem::file_size(file), 5000u);
  TChildProcess check({Tavix(), "check-rbf", file});
  EXPECT_EQ(check.Finish(20s), 0) << check.Output();
  EXPECT_NE(check.Output().find("valid image"), std::string::npos);
  EXPECT_NE(check.Output().find("user code 0x000012AB"), std::string::npos) << check.Output();

  // A size too small for an image or a user code that is no number: an error and no file.
  const std::string bad = (Folder / "bad.rbf").string();
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--size", "12"},
                                               std::vector<std::string>{"--usercode", "0x1FFFFFFFF"},
                                               std::vector<std::string>{"--size", "-5"}}) {
    std::vector<std::string> argv = {Tavix(), "make-rbf", bad};
    argv.insert(argv.end(), args.begin(), args.end());
    TChildProcess failing(argv);
    EXPECT_EQ(failing.Finish(20s), 1) << args[0] << " " << args[1];
    EXPECT_FALSE(FileExists(bad));
  }
  // A truncated image fails the check with the reason.
  std::filesystem::resize_file(file, 3000);
  TChildProcess truncated({Tavix(), "check-rbf", file});
  EXPECT_EQ(truncated.Finish(20s), 1);
  EXPECT_NE(truncated.Output().find("image incomplete"), std::string::npos) << truncated.Output();
}

}  // namespace
}  // namespace tavix::jtagsim
