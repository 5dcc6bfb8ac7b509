// Parameter strings: parsing, writing, lookup and the typed readers and writers.
#include <gtest/gtest.h>

#include <stdexcept>

#include "host/Opal.Param.h"

using namespace tavix;

namespace {

struct ParseCase {
  const char* Text;
  const char* State;  // GetState after SetState
  int Count;
};

class ParameterParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParameterParsing, ParsesAndWritesBack) {
  TParameterList list;
  list.SetState_AddParameter("Stale", "x");  // parsing starts from an empty list
  list.SetState(GetParam().Text);
  EXPECT_EQ(list.Count(), GetParam().Count);
  EXPECT_EQ(list.GetState(), GetParam().State);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParameterParsing,
    ::testing::Values(ParseCase{"", "", 0}, ParseCase{"A=1|", "A=1", 1}, ParseCase{" A = 1 | B = x y ", "A=1|B=x y", 2},
                      ParseCase{"A=1=2", "A=1=2", 1},              // a second "=" belongs to the value
                      ParseCase{"A|B=2", "B=2", 1},                 // a segment without "=" is dropped
                      ParseCase{"A=", "A= ", 1},                    // an empty value is written as one blank
                      ParseCase{"=5|  =6", "", 0},                  // no name, nothing added
                      ParseCase{"A=1|a=2", "A=1|a=2", 2},           // duplicates stay
                      ParseCase{"||A=1||", "A=1", 1},
                      ParseCase{"Target=HardDevice|Action=ResetDevice|Index=1",
                                "Target=HardDevice|Action=ResetDevice|Index=1", 3}));

TEST(ParameterList, LookupIsByTrimmedNameIgnoringCaseAndFindsTheFirst) {
  TParameterList list;
  list.SetState("Index=1|INDEX=2|Other=x");
  ASSERT_NE(list.GetState_ParameterByName("  index "), nullptr);
  EXPECT_EQ(list.GetState_ParameterByName("index")->Value(), "1");
  list.SetState_RemoveByName(" INDEX");
  EXPECT_EQ(list.GetState(), "INDEX=2|Other=x");
  EXPECT_EQ(list.GetState_ParameterByName("missing"), nullptr);
  list.ClearAllParameters();
  EXPECT_EQ(list.Count(), 0);
}

TEST(ParameterList, TypedWritersTrimAndFormat) {
  TParameterList list;
  list.SetState_AddParameterAsBoolean(" On ", true);
  list.SetState_AddParameterAsBoolean("Off", false);
  list.SetState_AddParameterAsInteger("Int", -5);
  list.SetState_AddParameterAsInt64("Big", 1LL << 40);
  list.SetState_AddParameterAsDouble("Real", 2.5);
  list.SetState_AddParameterAsString("Text", "  padded  ");
  list.SetState_AddParameter("   ", "ignored");
  EXPECT_EQ(list.GetState(), "On=True|Off=False|Int=-5|Big=1099511627776|Real=2.5|Text=padded");
}

TEST(ParameterList, TypedReadersAnswerFalseAndKeepTheOutputOnBadValues) {
  TParameterList list;
  list.SetState("I=42|Neg=-7|Bad=4x|W=65537|S=40000|B=257|L=9000000000|R=1.25|T= true |F=yes|E=");

  int32_t i = 99;
  EXPECT_TRUE(list.GetState_ParameterAsInteger("I", i));
  EXPECT_EQ(i, 42);
  EXPECT_FALSE(list.GetState_ParameterAsInteger("Bad", i));
  EXPECT_FALSE(list.GetState_ParameterAsInteger("Missing", i));
  EXPECT_FALSE(list.GetState_ParameterAsInteger("L", i)) << "beyond 32 bits";
  EXPECT_EQ(i, 42) << "left unchanged";

  uint16_t w = 0;
  int16_t s = 0;
  uint8_t b = 0;
  EXPECT_TRUE(list.GetState_ParameterAsWord("W", w));
  EXPECT_TRUE(list.GetState_ParameterAsSmallInt("S", s));
  EXPECT_TRUE(list.GetState_ParameterAsByte("B", b));
  EXPECT_EQ(w, 1);
  EXPECT_EQ(s, -25536);
  EXPECT_EQ(b, 1);

  int64_t l = 0;
  EXPECT_TRUE(list.GetState_ParameterAsInt64("L", l));
  EXPECT_EQ(l, 9000000000LL);

  double r = -1;
  EXPECT_TRUE(list.GetState_ParameterAsReal("R", r));
  EXPECT_DOUBLE_EQ(r, 1.25);
  EXPECT_FALSE(list.GetState_ParameterAsReal("Bad", r));
  EXPECT_DOUBLE_EQ(r, 1.25);
  EXPECT_THROW(list.GetState_ParameterAsDouble("Bad", r), std::invalid_argument);
  EXPECT_THROW(list.GetState_ParameterAsDouble("E", r), std::invalid_argument);
  EXPECT_FALSE(list.GetState_ParameterAsDouble("Missing", r));

  bool flag = false;
  EXPECT_TRUE(list.GetState_ParameterAsBoolean("T", flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(list.GetState_ParameterAsWordBool("F", flag));
  EXPECT_FALSE(flag) << "only \"True\" is true";

  std::string text = "old";
  EXPECT_FALSE(list.GetState_ParameterAsString("Missing", text));
  EXPECT_EQ(text, "") << "an absent text reads empty";
  EXPECT_TRUE(list.GetState_ParameterAsPChar("Neg", text));
  EXPECT_EQ(text, "-7");
}

TEST(ParameterStrings, FreeFunctionsReadAndReplace) {
  std::string value;
  EXPECT_TRUE(GetParameterFromString("A=1|B=2", "b", value));
  EXPECT_EQ(value, "2");
  EXPECT_TRUE(GetParameterFromString("A=1|B=2", "A", value)) << "the same text again";
  EXPECT_EQ(value, "1");
  EXPECT_FALSE(GetParameterFromString("C=3", "A", value)) << "a new text is parsed anew";
  EXPECT_EQ(value, "");

  std::string text = "Action=Reset| Index = 1 ";
  SetParameterInString(text, " index", " 7 ");
  EXPECT_EQ(text, "Action=Reset|Index=7");
  SetParameterInString(text, "Target", "HardDevice");
  EXPECT_EQ(text, "Action=Reset|Index=7|Target=HardDevice");
}

}  // namespace
