// tavix info, pins and iostandards run as a person runs them: the program beside this test,
// loading the built module into the stand-in host.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace tavix {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Status;
  std::vector<std::string> Lines;
};

// Runs the tavix beside this test; host data of the run stays in a folder of its own.
TRun RunTavix(const std::string& arguments) {
  const fs::path dir = fs::temp_directory_path() / ("tavix_catalog_cli_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string out = (dir / "out").string();
  const std::string program = ExtractFilePath(ProgramFile()) + "tavix";
  const std::string command = "XDG_CONFIG_HOME='" + dir.string() + "' '" + program + "' " + arguments + " >'" + out +
                              "' 2>/dev/null </dev/null";
  const int raw = std::system(command.c_str());
  TRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {}};
  std::string text;
  ReadFileText(out, text);
  fs::remove_all(dir);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) run.Lines.push_back(line);
  return run;
}

TEST(TavixCatalogCommands, PinsAsCsvListEveryPinInOrder) {
  const TRun run = RunTavix("pins 0 --csv");
  ASSERT_EQ(run.Status, 0);
  ASSERT_EQ(run.Lines.size(), 780u);
  EXPECT_EQ(run.Lines[0], "0,A27,,,,,");
  EXPECT_EQ(run.Lines[1], "1,L22,B1L,,3,IO+CLK+ClkDiffP,PCML12+PCML14+PCML15+PCML25+LVPECL+LVDS+HCSL");
  EXPECT_EQ(run.Lines[390].rfind("390,L17,8C,97,,IO+DiffP,LVCMOS12+", 0), 0u) << run.Lines[390];
  const TRun large = RunTavix("pins 5AGZME7K3F40I4N --csv --header");
  ASSERT_EQ(large.Status, 0);
  EXPECT_EQ(large.Lines.size(), 1518u);
  EXPECT_EQ(large.Lines[0], "index,ball,bank,diff_id,clk_diff_id,flags,standards");
}

TEST(TavixCatalogCommands, InfoTakesKindOrOrderingCodeInAnyCase) {
  const TRun byKind = RunTavix("info 21");
  const TRun byName = RunTavix("info 5agzme5k2f40i3ln");
  ASSERT_EQ(byKind.Status, 0);
  EXPECT_EQ(byKind.Lines, byName.Lines);
  const std::string all = [&] {
    std::string text;
    for (const std::string& line : byKind.Lines) text += line + "\n";
    return text;
  }();
  EXPECT_NE(all.find("0x029770DD"), std::string::npos);
  EXPECT_NE(all.find("1517-Ball FIneLine Ball Grid Array(FBGA1517)"), std::string::npos);
  EXPECT_NE(all.find("213798720"), std::string::npos);
  EXPECT_NE(RunTavix("info 5AGZME9").Status, 0);
  EXPECT_NE(RunTavix("pins 32").Status, 0);
}

TEST(TavixCatalogCommands, IOStandardsShowSlewRatesAndDriveStrengths) {
  const TRun run = RunTavix("iostandards 0");
  ASSERT_EQ(run.Status, 0);
  ASSERT_EQ(run.Lines.size(), 57u);  // the column names, then 56 standards
  EXPECT_NE(run.Lines[3].find("LVCMOS 1.8V"), std::string::npos);
  EXPECT_NE(run.Lines[3].find("SLOW,FAST"), std::string::npos);
  EXPECT_NE(run.Lines[3].find("2mA,4mA,6mA,8mA,10mA,12mA,16mA"), std::string::npos);
  EXPECT_NE(run.Lines[56].find("HCSL"), std::string::npos);
}

}  // namespace
}  // namespace tavix
