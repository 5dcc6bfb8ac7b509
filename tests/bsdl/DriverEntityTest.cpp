// Each driver's boundary-scan entity as the host receives it: built on the first request from
// the kind's built-in description, kept, and never shared between drivers.
#include <gtest/gtest.h>

#include <memory>

#include "plugin/Device_Arria5GZ_Driver.h"

namespace tavix {
namespace {

struct TDriver {
  std::unique_ptr<TDevice_Arria5GZDriver> Object;
  explicit TDriver(int32_t kind) : Object(CreateArria5GZDriver(kind)) {}
  IDeviceInformation Host() const { return IDeviceInformation(Object->AsDispatch()); }
};

TEST(DriverEntity, Kind0AnswersItsDescriptionAndKeepsIt) {
  TDriver driver(0);
  const IBSDLEntity entity = driver.Host().GetBSDLEntity();
  ASSERT_FALSE(entity.Empty());
  EXPECT_EQ(entity.GetName(), "ARRIA_V_GZ_5AGZME1E2H29");
  EXPECT_EQ(entity.GetBoundaryLength(), 2131);
  EXPECT_EQ(entity.GetPinCount(), 780);
  EXPECT_EQ(entity.GetBoundaryCellCount(), 2131);
  EXPECT_EQ(entity.GetInstructionOpcodeCount(), 12);
  EXPECT_EQ(entity.GetRegisterAssociationCount(), 3);
  EXPECT_EQ(entity.GetPin_TCK().GetPinNumber(), "AA21");
  // The description leaves these to the device, whose own answers differ.
  EXPECT_EQ(entity.GetInstructionLength(), 0);
  EXPECT_EQ(entity.GetIdCode(), 0u);
  EXPECT_EQ(DispCall(driver.Object->AsDispatch(), 503408).AsInt(), 10);
  EXPECT_EQ(driver.Host().GetIdCode(), 0x029310DDu);

  // Cross-links between cells, through the objects the host is handed.
  const IBoundaryCell output = entity.GetBoundaryCell(775);
  EXPECT_EQ(output.GetControlCell().GetCellNumber(), 774);
  EXPECT_EQ(output.GetControlCellNumber(), 774);
  EXPECT_EQ(output.GetPin().GetPinNumber(), "A3");
  const IBoundaryCell control = entity.GetBoundaryCell(774);
  EXPECT_EQ(control.GetTargetCell().GetCellNumber(), 775);
  EXPECT_TRUE(control.GetControlCell().Empty());
  EXPECT_EQ(control.GetControlCellNumber(), -1);
  EXPECT_EQ(entity.GetRegisterAssociation(0).GetInstructionOpcode(0).GetInstructionName(), "EXTEST_PULSE");

  // Asked again, the same entity; releases by the host never free it.
  const IBSDLEntity again = driver.Host().GetBSDLEntity();
  EXPECT_EQ(again.Dispatch(), entity.Dispatch());
  EXPECT_EQ(entity.Dispatch()->Release(), 0);
  EXPECT_EQ(again.GetName(), "ARRIA_V_GZ_5AGZME1E2H29");
}

TEST(DriverEntity, Kind20AnswersTheLargeF40Description) {
  TDriver driver(20);
  const IBSDLEntity entity = driver.Host().GetBSDLEntity();
  EXPECT_EQ(entity.GetName(), "ARRIA_V_GZ_5AGZME5K2F40");
  EXPECT_EQ(entity.GetBoundaryLength(), 2775);
  EXPECT_EQ(entity.GetPinCount(), 1517);
  EXPECT_EQ(entity.GetPin_TDI().GetPinNumber(), "AJ34");
  EXPECT_EQ(entity.GetBoundaryCell(1804).GetPortId(), "CONF_DONE");
}

TEST(DriverEntity, KindsSharingAPinSetBuildSeparateButEqualEntities) {
  TDriver first(0), second(1);
  const IBSDLEntity a = first.Host().GetBSDLEntity();
  const IBSDLEntity b = second.Host().GetBSDLEntity();
  ASSERT_NE(a.Dispatch(), b.Dispatch());
  EXPECT_EQ(a.GetName(), b.GetName());
  ASSERT_EQ(a.GetBoundaryCellCount(), b.GetBoundaryCellCount());
  for (int32_t n = 0; n < a.GetBoundaryCellCount(); n += 97) {
    EXPECT_NE(a.GetBoundaryCell(n).Dispatch(), b.GetBoundaryCell(n).Dispatch());
    EXPECT_EQ(a.GetBoundaryCell(n).GetDescription(), b.GetBoundaryCell(n).GetDescription()) << n;
  }
  // A value the host writes into one entity stays in that one.
  a.GetPin(3).SetCurrentValue(1);
  EXPECT_EQ(a.GetPin(3).GetCurrentValue(), 1);
  EXPECT_EQ(b.GetPin(3).GetCurrentValue(), 0);
}

}  // namespace
}  // namespace tavix
