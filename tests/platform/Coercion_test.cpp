#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/automation/Coercion.h"

namespace tavix {
namespace {

Variant Make(VARTYPE vt, auto setter) {
  Variant v;
  VARIANT* raw = v.Out();
  raw->vt = vt;
  setter(*raw);
  return v;
}

struct IntCase {
  const char* Name;
  Variant Value;
  HRESULT Error;  // S_OK when the conversion succeeds
  int32_t Expected;
};

TEST(Coercion, Int32Conversions) {
  const IntCase cases[] = {
      {"empty", Variant(), S_OK, 0},
      {"i4", Variant::FromInt(-7), S_OK, -7},
      {"i2", Make(VT_I2, [](VARIANT& v) { v.iVal = -300; }), S_OK, -300},
      {"ui1", Make(VT_UI1, [](VARIANT& v) { v.bVal = 200; }), S_OK, 200},
      {"ui4 in range", Make(VT_UI4, [](VARIANT& v) { v.ulVal = 0x7FFFFFFF; }), S_OK, 0x7FFFFFFF},
      {"ui4 too big", Make(VT_UI4, [](VARIANT& v) { v.ulVal = 0x80000000u; }), DISP_E_OVERFLOW, 0},
      {"i8 too big", Variant::FromInt64(int64_t{1} << 40), DISP_E_OVERFLOW, 0},
      {"bool true", Variant::FromBool(true), S_OK, -1},
      {"bool false", Variant::FromBool(false), S_OK, 0},
      {"real rounds down", Variant::FromDouble(2.4), S_OK, 2},
      {"tie to even down", Variant::FromDouble(2.5), S_OK, 2},
      {"tie to even up", Variant::FromDouble(3.5), S_OK, 4},
      {"negative tie", Variant::FromDouble(-2.5), S_OK, -2},
      {"real too big", Variant::FromDouble(3e9), DISP_E_OVERFLOW, 0},
      {"nan", Variant::FromDouble(std::nan("")), DISP_E_OVERFLOW, 0},
      {"numeric string", Variant::FromString("3"), S_OK, 3},
      {"string with blanks and sign", Variant::FromString("  -42 "), S_OK, -42},
      {"string real tie", Variant::FromString("4.5"), S_OK, 4},
      {"string exponent", Variant::FromString("1e3"), S_OK, 1000},
      {"string no number", Variant::FromString("fpga"), DISP_E_TYPEMISMATCH, 0},
      {"empty string", Variant::FromString(""), DISP_E_TYPEMISMATCH, 0},
      {"string overflow", Variant::FromString("2147483648"), DISP_E_OVERFLOW, 0},
      {"string min", Variant::FromString("-2147483648"), S_OK, std::numeric_limits<int32_t>::min()},
      {"currency rounds to even", Make(VT_CY, [](VARIANT& v) { v.cyVal = 25000; }), S_OK, 2},
      {"null", Variant::Null(), DISP_E_TYPEMISMATCH, 0},
      {"dispatch", Variant::FromDispatch(nullptr), DISP_E_TYPEMISMATCH, 0},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Error == S_OK) {
      EXPECT_EQ(VariantToInt32(c.Value.Raw()), c.Expected);
    } else {
      try {
        VariantToInt32(c.Value.Raw());
        ADD_FAILURE() << "no error raised";
      } catch (const EOleError& e) {
        EXPECT_EQ(e.Code(), c.Error);
      }
    }
  }
}

TEST(Coercion, ByReferenceIsFollowed) {
  int32_t target = 17;
  Variant ref = Make(VT_I4 | VT_BYREF, [&](VARIANT& v) { v.plVal = &target; });
  EXPECT_EQ(VariantToInt32(ref.Raw()), 17);
  Variant inner = Variant::FromString("12");
  Variant refVariant = Make(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { v.pvarVal = const_cast<VARIANT*>(&inner.Raw()); });
  EXPECT_EQ(VariantToInt32(refVariant.Raw()), 12);
  EXPECT_EQ(VariantToString(refVariant.Raw()), "12");
  Variant nullRef = Make(VT_I4 | VT_BYREF, [](VARIANT& v) { v.plVal = nullptr; });
  EXPECT_THROW(VariantToInt32(nullRef.Raw()), EOleError);
}

TEST(Coercion, Int64AndLow32) {
  EXPECT_EQ(VariantToInt64(Variant::FromString("9000000000").Raw()), 9000000000LL);
  EXPECT_EQ(VariantToInt64(Variant::FromDouble(-0.5).Raw()), 0);
  // Only the low 32 bits of the 64-bit value are passed on.
  EXPECT_EQ(VariantToLow32(Variant::FromInt64(0x1'2345'6789LL).Raw()), 0x23456789u);
  EXPECT_EQ(VariantToLow32(Variant::FromInt(-1).Raw()), 0xFFFFFFFFu);
  const Variant big = Make(VT_UI4, [](VARIANT& v) { v.ulVal = 0xDEADBEEF; });
  EXPECT_EQ(VariantToLow32(big.Raw()), 0xDEADBEEFu);
  const Variant huge = Make(VT_UI8, [](VARIANT& v) { v.ullVal = ~uint64_t{0}; });
  EXPECT_THROW(VariantToInt64(huge.Raw()), EOleError);
}

TEST(Coercion, StringConversions) {
  EXPECT_EQ(VariantToString(Variant().Raw()), "");
  EXPECT_EQ(VariantToString(Variant::FromInt(-5).Raw()), "-5");
  EXPECT_EQ(VariantToString(Variant::FromBool(true).Raw()), "True");
  EXPECT_EQ(VariantToString(Variant::FromDouble(1.5).Raw()), "1.5");
  EXPECT_EQ(VariantToString(Variant::FromString("Grüße").Raw()), "Grüße");
  EXPECT_THROW(VariantToString(Variant::Null().Raw()), EOleError);
}

TEST(Coercion, ObjectConversion) {
  EXPECT_FALSE(VariantToDispatch(Variant().Raw()));
  EXPECT_FALSE(VariantToDispatch(Variant::Null().Raw()));
  try {
    VariantToDispatch(Variant::FromInt(5).Raw());
    ADD_FAILURE();
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), DISP_E_TYPEMISMATCH);
  }
}

TEST(Bstr, LayoutAndOwnership) {
  Bstr text("A\xC3\xA9");  // "Aé": two UTF-16 units
  ASSERT_NE(text.Get(), nullptr);
  EXPECT_EQ(text.Length(), 2u);
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<uint8_t*>(text.Get()) - 4, 4);
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(text.Get()[2], 0);
  EXPECT_EQ(text.ToString(), "A\xC3\xA9");
  Bstr copy = text;
  EXPECT_NE(copy.Get(), text.Get());
  EXPECT_EQ(copy.ToString(), text.ToString());
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(BstrToString(nullptr), "");
}

TEST(Text, Utf16RoundTripAndCaseFolding) {
  const std::string samples[] = {"", "plain", "\xF0\x9F\x98\x80 emoji", "\xE4\xB8\xAD"};
  for (const std::string& s : samples) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xFF")), "\xEF\xBF\xBD");  // invalid byte -> U+FFFD
  EXPECT_TRUE(SameText("TavixDriver", "tavixdriver"));
  EXPECT_FALSE(SameText("abc", "abd"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(Trim("  x y \t"), "x y");
}

}  // namespace
}  // namespace tavix
