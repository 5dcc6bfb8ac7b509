// Text results become BSTRs through AllocBstr: ASCII is widened in blocks, anything else goes
// through the UTF-8 decoder. Both must give the same text back at every length and position.
#include <string>

#include <gtest/gtest.h>

#include "platform/automation/AutoTypes.h"

namespace tavix {
namespace {

TEST(AllocBstr, RoundTripsAsciiAndNonAsciiAtEveryPosition) {
  for (size_t length = 0; length <= 40; ++length) {
    std::string ascii;
    for (size_t i = 0; i < length; ++i) ascii.push_back(static_cast<char>('A' + i % 26));
    Bstr text(ascii);
    EXPECT_EQ(text.Length(), length);
    EXPECT_EQ(text.ToString(), ascii);
    EXPECT_EQ(text.Get()[length], u'\0');
    for (size_t at = 0; at < length; ++at) {
      std::string mixed = ascii;
      mixed.replace(at, 1, "\xC3\xA9");  // U+00E9, two bytes in UTF-8, one unit in UTF-16
      Bstr wide(mixed);
      EXPECT_EQ(wide.Length(), length) << "at " << at;
      EXPECT_EQ(wide.Get()[at], u'\u00E9');
      EXPECT_EQ(wide.ToString(), mixed);
    }
  }
}

}  // namespace
}  // namespace tavix
