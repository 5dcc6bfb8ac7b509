// INI files read with the platform's rules, and the writer that keeps the rest of a file.
#include <gtest/gtest.h>
#include <ini.h>

#include "../support/TempFolder.h"
#include "platform/IniFiles.h"

namespace tavix {
namespace {

struct TIniCase {
  const char* Name;
  std::string Text;
  const char* Section;
  const char* Key;
  const char* Expected;  // with default "<default>"
  friend void PrintTo(const TIniCase& c, std::ostream* os) { *os << c.Name; }
};

class IniReadTest : public testing::TestWithParam<TIniCase> {};

TEST_P(IniReadTest, ReadsAsThePlatformDoes) {
  const TIniCase& c = GetParam();
  const TIniFile ini = TIniFile::FromText(c.Text);
  EXPECT_EQ(ini.ReadString(c.Section, c.Key, "<default>"), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Semantics, IniReadTest,
    testing::Values(
        TIniCase{"SectionAndKeyIgnoreCase", "[General]\nDeviceFamily=Arria5GZ\n", "GENERAL", "devicefamily",
                 "Arria5GZ"},
        TIniCase{"ValueTrimmed", "[A]\n  key  =   some value \t\n", "A", "key", "some value"},
        TIniCase{"MissingKeyGivesDefault", "[A]\nkey=1\n", "A", "other", "<default>"},
        TIniCase{"MissingSectionGivesDefault", "[A]\nkey=1\n", "B", "key", "<default>"},
        TIniCase{"EmptyValueIsAValue", "[A]\nkey=\n", "A", "key", ""},
        TIniCase{"FirstOfRepeatedKeysWins", "[A]\nkey=1\nKEY=2\n", "A", "key", "1"},
        TIniCase{"RepeatedSectionsJoin", "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n", "A", "z", "3"},
        TIniCase{"SemicolonInValueKept", "[A]\nkey=a ; b\n", "A", "key", "a ; b"},
        TIniCase{"IndentedLineIsItsOwnKey", "[A]\nkey=1\n  more=2\n", "A", "key", "1"},
        TIniCase{"IndentedKeyRead", "[A]\nkey=1\n  more=2\n", "A", "more", "2"},
        TIniCase{"EnclosingQuotesDropped", "[A]\nkey=\"  spaced  \"\n", "A", "key", "  spaced  "},
        TIniCase{"CommentLinesIgnored", "[A]\n;key=1\n#key=2\nkey=3\n", "A", "key", "3"},
        TIniCase{"WindowsLineEnds", "[A]\r\nkey=v\r\nnext=w\r\n", "A", "next", "w"},
        TIniCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF[A]\nkey=v\n", "A", "key", "v"},
        TIniCase{"SpacedSectionHeader", "[ General ]\nkey=v\n", "General", "key", "v"},
        TIniCase{"MalformedLineSkipped", "[A]\nno equals here\nkey=v\n", "A", "key", "v"}),
    [](const testing::TestParamInfo<TIniCase>& info) { return std::string(info.param.Name); });

TEST(IniFileTest, LongLinesAreReadWhole) {
  const std::string value(5000, 'x');
  const TIniFile ini = TIniFile::FromText("[A]\nkey=" + value + "\nafter=1\n");
  EXPECT_EQ(ini.ReadString("A", "key", ""), value);
  EXPECT_EQ(ini.ReadString("A", "after", ""), "1");
}

TEST(IniFileTest, ParsingLeavesTheLibrarySettingsOfTheProcessAlone) {
  const bool multiline = ini_allow_multiline;
  const int maxLine = ini_max_line;
  const bool useStack = ini_use_stack;
  TIniFile::FromText("[A]\nkey=v\n");
  EXPECT_EQ(ini_allow_multiline, multiline);
  EXPECT_EQ(ini_max_line, maxLine);
  EXPECT_EQ(ini_use_stack, useStack);
}

TEST(IniFileTest, IntegersAndBooleans) {
  const TIniFile ini = TIniFile::FromText(
      "[N]\na=42\nb= -7\nc=abc\nd=12x\ne=\nf=+5\ng=99999999999\n[B]\nt=True\nf=0\nx=maybe\n");
  const std::pair<const char*, int32_t> numbers[] = {{"a", 42}, {"b", -7}, {"c", 175}, {"d", 175},
                                                     {"e", 175}, {"f", 5},  {"g", 175}, {"missing", 175}};
  for (const auto& [key, expected] : numbers) EXPECT_EQ(ini.ReadInteger("N", key, 175), expected) << key;
  EXPECT_TRUE(ini.ReadBool("B", "t", false));
  EXPECT_FALSE(ini.ReadBool("B", "f", true));
  EXPECT_TRUE(ini.ReadBool("B", "x", true));
}

TEST(IniFileTest, ListsSectionsAndKeysInFileOrder) {
  const TIniFile ini = TIniFile::FromText("[Z]\nb=1\na=2\n[Y]\nc=3\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Z", "Y"}));
  EXPECT_EQ(ini.ReadSection("z"), (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(ini.SectionExists("y"));
  EXPECT_TRUE(ini.ValueExists("Y", "C"));
  EXPECT_FALSE(ini.ValueExists("Y", "a"));
}

TEST(IniFileTest, MissingFileReadsEmpty) {
  const test::TTempFolder folder;
  const TIniFile ini(folder / "absent.ini");
  EXPECT_FALSE(ini.Loaded());
  EXPECT_EQ(ini.ReadString("General", "DeviceFamily", "none"), "none");

  const TIniFile present(folder.Write("TavixConfig.ini", "[General]\nDeviceFamily=Arria5GZ\n"));
  EXPECT_TRUE(present.Loaded());
  EXPECT_EQ(present.ReadString("General", "DeviceFamily", ""), "Arria5GZ");
}

TEST(WriteIniStringTest, SetsKeysAndKeepsEverythingElse) {
  const test::TTempFolder folder;
  const std::string file = folder.Write("a.ini", "; made by hand\n[General]\nDeviceFamily=Old\nOther=1\n\n[More]\nx=y\n");
  ASSERT_TRUE(WriteIniString(file, "general", "devicefamily", "Arria5GZ"));  // replaced in place
  ASSERT_TRUE(WriteIniString(file, "General", "EDIF", "ARRIA5GZ"));           // added to the section
  ASSERT_TRUE(WriteIniString(file, "ClockCore", "Cycles", "100"));            // new section
  EXPECT_EQ(test::ReadAll(file),
            "; made by hand\n[General]\nDeviceFamily=Arria5GZ\nOther=1\nEDIF=ARRIA5GZ\n\n[More]\nx=y\n\n"
            "[ClockCore]\nCycles=100\n");
  const TIniFile ini(file);
  EXPECT_EQ(ini.ReadString("General", "DeviceFamily", ""), "Arria5GZ");
  EXPECT_EQ(ini.ReadInteger("ClockCore", "Cycles", 0), 100);
}

TEST(WriteIniStringTest, CreatesAFileAndRefusesWhatWouldBreakIt) {
  const test::TTempFolder folder;
  const std::string file = folder / "new.ini";
  ASSERT_TRUE(WriteIniString(file, "General", "DeviceVendor", "Altera"));
  EXPECT_EQ(test::ReadAll(file), "[General]\nDeviceVendor=Altera\n");
  EXPECT_FALSE(WriteIniString(file, "General", "DeviceVendor", "two\nlines"));
  EXPECT_FALSE(WriteIniString(file, "General", "a=b", "x"));
  EXPECT_FALSE(WriteIniString(folder / "no/such/folder/x.ini", "General", "k", "v"));
  EXPECT_EQ(test::ReadAll(file), "[General]\nDeviceVendor=Altera\n");
}

}  // namespace
}  // namespace tavix
