// The remote_bitbang peer: the protocol on its own, then OpenOCD driving the simulated chain
// over a loopback socket.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "simhost/jtag/RemoteBitbang.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimImage.h"
#include "tests/jtag/JtagSimTestSupport.h"

namespace tavix::jtagsim {
namespace {

using testing::kOpenOcd;

TEST(RemoteBitbang, ProtocolDrivesTheChainAndAnswersReads) {
  TSimChain chain({ArriaVGZDescription(4)});
  TRemoteBitbangServer server(chain);
  std::string answers;
  // TRST pulse, then Test-Logic-Reset -> Run-Test/Idle -> Select-DR -> Capture-DR ->
  // Shift-DR, each clock written as TCK low then high with the same TMS and ending low; then
  // the IDCODE's 32 bits, each read while TCK is low and followed by one clock.
  std::string commands = "tr" "04" "26" "04" "04" "0";
  for (int i = 0; i < 32; ++i) commands += "R40";
  commands += "B\n";
  ASSERT_TRUE(server.Execute(commands.data(), commands.size(), answers));
  ASSERT_EQ(answers.size(), 32u);
  uint32_t id = 0;
  for (int i = 0; i < 32; ++i) id |= static_cast<uint32_t>(answers[static_cast<size_t>(i)] == '1') << i;
  EXPECT_EQ(id, 0x029310DDu);
  EXPECT_TRUE(server.Blink());
  EXPECT_EQ(chain.State(), TTapState::ShiftDR);
  // TRST asserted ('t': trst on, srst off) puts the TAP back in Test-Logic-Reset.
  answers.clear();
  EXPECT_TRUE(server.Execute("tb", 2, answers));
  EXPECT_EQ(chain.State(), TTapState::TestLogicReset);
  EXPECT_FALSE(server.Blink());
  // 'Q' ends the session; what follows it is not executed.
  EXPECT_FALSE(server.Execute("Q2", 2, answers));
  EXPECT_FALSE(chain.Tms());
  EXPECT_TRUE(answers.empty());
}

class RemoteBitbangOpenOcd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access(kOpenOcd, X_OK) != 0) GTEST_SKIP() << "OpenOCD is not installed at " << kOpenOcd;
    Folder = std::filesystem::temp_directory_path() / ("jtagsim_openocd_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder);
  }
  void TearDown() override {
    if (!Folder.empty()) std::filesystem::remove_all(Folder);
  }

  // Runs OpenOCD against `port` with a TAP per device of `chain` and the given commands after
  // init; returns its output.
  struct TRunResult {
    bool TimedOut = false;
    int ExitCode = -1;
    std::string Output;
  };
  TRunResult RunOpenOcd(const TSimChain& chain, uint16_t port, const std::string& commands) {
    const std::string config = (Folder / "chain.cfg").string();
    std::ofstream cfg(config);
    cfg << "adapter driver remote_bitbang\n"
        << "remote_bitbang host 127.0.0.1\n"
        << "remote_bitbang port " << port << "\n"
        << "transport select jtag\n";
    // OpenOCD lists the TAPs from the TDO end: the first declared gives the first IDCODE out.
    for (size_t p = chain.DeviceCount(); p-- > 0;) {
      char id[16];
      std::snprintf(id, sizeof id, "0x%08x", chain.Device(p).Description().IdCode);
      cfg << "jtag newtap d" << p << " tap -irlen 10 -expected-id " << id << "\n";
    }
    cfg << "init\n" << commands << "shutdown\n";
    cfg.close();
    testing::TChildProcess openocd({kOpenOcd, "-f", config});
    TRunResult run;
    run.ExitCode = openocd.Finish(std::chrono::seconds(60));
    run.TimedOut = openocd.TimedOut();
    run.Output = openocd.Output();
    return run;
  }

  std::filesystem::path Folder;
};

TEST_F(RemoteBitbangOpenOcd, ScanFindsEveryDeviceAndReadsIdcodeAndUsercode) {
  TSimChain chain({ArriaVGZDescription(0), ArriaVGZDescription(12), ArriaVGZDescription(20), ArriaVGZDescription(31)});
  ASSERT_TRUE(chain.ProgramImage(2, MakeSimImage(512, 0x5EEDF00D)));
  TRemoteBitbangServer server(chain);
  const uint16_t port = server.Listen();
  server.Start();

  std::string commands;
  for (size_t p = 0; p < chain.DeviceCount(); ++p) {
    const std::string tap = "d" + std::to_string(p) + ".tap";
    commands += "irscan " + tap + " 0x006\n";
    commands += "echo \"IDCODE " + std::to_string(p) + " [drscan " + tap + " 32 0]\"\n";
    commands += "irscan " + tap + " 0x007\n";
    commands += "echo \"USERCODE " + std::to_string(p) + " [drscan " + tap + " 32 0]\"\n";
  }
  const TRunResult run = RunOpenOcd(chain, port, commands);
  server.Stop();
  ASSERT_FALSE(run.TimedOut) << run.Output;
  EXPECT_EQ(run.ExitCode, 0) << run.Output;

  const char* ids[] = {"029310dd", "029710dd", "029770dd", "029f70dd"};
  const char* userCodes[] = {"ffffffff", "ffffffff", "5eedf00d", "ffffffff"};
  for (size_t p = 0; p < 4; ++p) {
    // The scan at init: every TAP found with its expected IDCODE.
    const std::regex found("d" + std::to_string(p) + R"(\.tap tap/device found: 0x)" + ids[p]);
    EXPECT_TRUE(std::regex_search(run.Output, found)) << "scan of d" << p << ":\n" << run.Output;
    EXPECT_NE(run.Output.find("IDCODE " + std::to_string(p) + " " + ids[p]), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("USERCODE " + std::to_string(p) + " " + userCodes[p]), std::string::npos)
        << run.Output;
  }
  EXPECT_EQ(run.Output.find("UNEXPECTED"), std::string::npos) << run.Output;
  EXPECT_GE(server.PeersServed(), 1u);
}

}  // namespace
}  // namespace tavix::jtagsim
