#include <gtest/gtest.h>

#include "jtag/Tavix.Utils.h"

namespace tavix {
namespace {

TEST(StatusTable, LooksUpBaseNamesWithoutRegardToCase) {
  const struct {
    const char* Name;
    bool Found;
    int32_t A, B;
  } cases[] = {
      {"5AGZME1E2", true, 777, 328},   {"5agzme1e2", true, 777, 328},   {"5AGZME3H3", true, 777, 328},
      {"5AGZME5K2", true, 1025, 424},  {"5AGZME7K3", true, 1025, 424},  {"EP1C3", true, 113, 69},
      {"EP4SGX290N", true, 990, 238},  {"5CGTFD7B5", true, 496, 490},   {"5AGZME1E2H29", false, 0, 0},
      {"", false, 0, 0},               {"EP1C", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TStatusPosition p = LookupStatusPosition(c.Name);
    EXPECT_EQ(p.Found, c.Found);
    EXPECT_EQ(p.A, c.A);
    EXPECT_EQ(p.B, c.B);
  }
  EXPECT_EQ(StatusTableRowCount(), 284);
}

TEST(StatusTable, StatusCellOfTheFamilysDies) {
  // 3 x (A - B) + 1 cells from the TDO end.
  for (const char* name : {"5AGZME1E2", "5AGZME1H3", "5AGZME3E3", "5AGZME3H2"}) {
    const TStatusPosition p = LookupStatusPosition(name);
    EXPECT_EQ(3 * (p.A - p.B) + 1, 1348) << name;
  }
  for (const char* name : {"5AGZME5H2", "5AGZME5K3", "5AGZME7H3", "5AGZME7K2"}) {
    const TStatusPosition p = LookupStatusPosition(name);
    EXPECT_EQ(3 * (p.A - p.B) + 1, 1804) << name;
  }
}

}  // namespace
}  // namespace tavix
