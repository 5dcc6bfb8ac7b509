// The pin operations the base derives from the others: pair polarity asks the four pair kinds
// in order and stops at the first True; the unique id joins bank and pair ids.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/Tavix.Classes.h"

namespace tavix {
namespace {

// A pin whose flags are given by name; it records which flag queries were asked.
class TFlagPin : public TTavixAbstractDevicePin {
 public:
  explicit TFlagPin(std::vector<std::string> flags) : FFlags(std::move(flags)) {}
  std::vector<std::string> Asked;

  std::string GetPinNumber() override { return "A1"; }
  std::string GetIOBank() override { return "3A"; }
  bool GetIsIOPin() override { return Flag("IO"); }
  bool GetIsCLKPin() override { return Flag("CLK"); }
  bool GetIsVREFPin() override { return Flag("VREF"); }
  bool GetIsSpecialPin() override { return Flag("Special"); }
  int32_t GetIOStandardCount() override { return 0; }
  IDeviceIOStandard GetIOStandard(int32_t) override { return {}; }
  bool GetIsInputOnlyPin() override { return Flag("InputOnly"); }
  bool GetIsDCIP_Pin() override { return Flag("DCIP"); }
  bool GetIsDCIN_Pin() override { return Flag("DCIN"); }
  bool GetIsDiffP_Pin() override { return Flag("DiffP"); }
  bool GetIsDiffN_Pin() override { return Flag("DiffN"); }
  bool GetIsHDiffP_Pin() override { return Flag("HDiffP"); }
  bool GetIsHDiffN_Pin() override { return Flag("HDiffN"); }
  bool GetIsTransmitDiffPin() override { return Flag("TransmitDiff"); }
  bool GetIsReceiveDiffPin() override { return Flag("ReceiveDiff"); }
  bool GetIsClkDiffP_Pin() override { return Flag("ClkDiffP"); }
  bool GetIsClkDiffN_Pin() override { return Flag("ClkDiffN"); }
  bool GetIsDLLPin() override { return Flag("DLL"); }
  std::string GetDifferentialId() override { return "12"; }
  std::string GetClkDifferentialId() override { return "4"; }

 private:
  bool Flag(const std::string& name) {
    Asked.push_back(name);
    for (const std::string& f : FFlags)
      if (f == name) return true;
    return false;
  }
  std::vector<std::string> FFlags;
};

struct PolarityCase {
  std::vector<std::string> Flags;
  bool Positive;
  std::vector<std::string> AskedForPositive;
  bool Negative;
};

TEST(DevicePinBase, PairPolarityAsksInOrderAndStopsAtTheFirstTrue) {
  const PolarityCase cases[] = {
      {{}, false, {"DiffP", "HDiffP", "DCIP", "ClkDiffP"}, false},
      {{"DiffP", "ClkDiffP"}, true, {"DiffP"}, false},
      {{"HDiffP"}, true, {"DiffP", "HDiffP"}, false},
      {{"DCIP"}, true, {"DiffP", "HDiffP", "DCIP"}, false},
      {{"ClkDiffP"}, true, {"DiffP", "HDiffP", "DCIP", "ClkDiffP"}, false},
      {{"DCIN"}, false, {"DiffP", "HDiffP", "DCIP", "ClkDiffP"}, true},
      {{"ClkDiffN"}, false, {"DiffP", "HDiffP", "DCIP", "ClkDiffP"}, true},
  };
  for (const PolarityCase& c : cases) {
    TFlagPin pin(c.Flags);
    EXPECT_EQ(pin.GetIsPosPinOfDiffPair(), c.Positive);
    EXPECT_EQ(pin.Asked, c.AskedForPositive);
    EXPECT_EQ(pin.GetIsNegPinOfDiffPair(), c.Negative);
  }
}

TEST(DevicePinBase, UniqueIdJoinsBankAndPairIdsAndTheObjectIsNotCounted) {
  TFlagPin pin({});
  EXPECT_EQ(pin.GetUniqueDifferentialID(), "3A|12|4");
  EXPECT_EQ(pin.AsDispatch()->AddRef(), -1);
  EXPECT_EQ(pin.AsDispatch()->Release(), -1);
  IDispatch* self = nullptr;
  EXPECT_EQ(pin.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&self)), S_OK);
  EXPECT_EQ(self, pin.AsDispatch());
}

}  // namespace
}  // namespace tavix
