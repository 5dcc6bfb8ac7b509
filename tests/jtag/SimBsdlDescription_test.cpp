// Simulated devices made from boundary-scan descriptions: a parsed vendor file of a foreign
// device, a shipped Arria V GZ file, and a driver's built-in entity, each joining a chain.
#include <gtest/gtest.h>

#include <memory>

#include "bsdl/Tavix.BSDL.Builder.h"
#include "host/Opal.Util.h"
#include "plugin/Device_Arria5GZ_Driver.h"
#include "simhost/jtag/SimBsdlDescription.h"
#include "simhost/jtag/SimChain.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimImage.h"

namespace tavix::jtagsim {
namespace {

uint32_t IdcodeOfScan(TSimChain& chain, size_t position) {
  // After Test-Logic-Reset every device offers its IDCODE: 32 bits each, nearest TDO first.
  chain.ResetTap();
  const size_t n = chain.DeviceCount();
  const std::vector<uint8_t> out = chain.ScanDR(std::vector<uint8_t>(32 * n, 0));
  uint32_t id = 0;
  const size_t from = 32 * (n - 1 - position);
  for (size_t i = 0; i < 32; ++i) id |= static_cast<uint32_t>(out[from + i]) << i;
  return id;
}

TEST(SimBsdlDescription, ParsedFilesMakeDevicesThatJoinAChain) {
  struct TCase {
    std::string Path;
    bool Altera;
  };
  const TCase cases[] = {
      {TAVIX_SAMPLES_DIR "STM32F469_F479_LQFP176.bsd", false},
      {GetModuleLibraryFolder() + "BSDL/Altera/Arria5GZ/5AGZME7K2F40.bsd", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    const TBsdlParseResult parsed = ParseBSDLFile(c.Path);
    ASSERT_TRUE(parsed.Ok()) << parsed.Error();
    const TBsdlDescription& bsdl = parsed.Reading.Description;
    const TSimDeviceDescription d = DescriptionFromEntity(parsed.Entity->AsDispatch());

    EXPECT_EQ(d.Name, bsdl.EntityName);
    EXPECT_EQ(d.IdCode, bsdl.IdCode);
    EXPECT_EQ(d.InstructionLength, bsdl.InstructionLength);
    ASSERT_EQ(d.BoundaryLength, bsdl.BoundaryLength);
    size_t ports = 0, controls = 0;
    for (const TSimCell& cell : d.Cells) {
      ports += !cell.Port.empty();
      controls += cell.ControlCell >= 0;
    }
    EXPECT_GT(ports, 0u);
    EXPECT_GT(controls, 0u) << "output cells keep their control cells";
    EXPECT_EQ(d.StatusCell >= 0, c.Altera);

    // Between two catalog devices: its IDCODE comes out of the scan, SAMPLE captures its cells.
    TSimChain chain({ArriaVGZDescription(0), d, ArriaVGZDescription(31)});
    chain.SetClock([] { return uint64_t{0}; });
    EXPECT_EQ(IdcodeOfScan(chain, 1), bsdl.IdCode);
    chain.LoadInstruction(bsdl.Instruction_SAMPLE, 1);
    EXPECT_EQ(chain.Device(1).Role(), TSimInstruction::SamplePreload);
    const std::vector<uint8_t> cells =
        chain.ScanDeviceDR(1, std::vector<uint8_t>(static_cast<size_t>(bsdl.BoundaryLength), 0));
    EXPECT_EQ(cells, chain.Device(1).CaptureCells());
    EXPECT_EQ(chain.Device(1).OpCode("PROGRAM").has_value(), c.Altera);
    if (c.Altera) {
      ASSERT_TRUE(chain.ProgramImage(1, MakeSimImage(200, 0x77)));
      chain.LoadInstruction(kOpCheckStatus, 1);
      const std::vector<uint8_t> status = chain.ScanDeviceDR(1, std::vector<uint8_t>(2775, 0));
      EXPECT_EQ(status[1804], 1);
    }
  }
}

TEST(SimBsdlDescription, BuiltInEntityTakesWhatItLeavesOpenFromTheDriver) {
  const std::unique_ptr<TDevice_Arria5GZDriver> driver(CreateArria5GZDriver(3));
  const IDeviceInformation info(driver->AsDispatch());
  const THostRecord entity(DispCall(driver->AsDispatch(), 503406).AsDispatch());
  ASSERT_TRUE(entity);
  // The built-in entity answers 0 for both; the driver knows them.
  const TSimDeviceDescription d = DescriptionFromEntity(
      entity.Dispatch(), {.IdCode = info.GetIdCode(), .InstructionLength = DispCall(driver->AsDispatch(), 503408).AsInt()});
  EXPECT_EQ(d.IdCode, 0x029310DDu);
  EXPECT_EQ(d.InstructionLength, 10);
  EXPECT_EQ(d.BoundaryLength, 2131);
  EXPECT_EQ(d.StatusCell, 1348);
  TSimChain chain({d});
  ASSERT_TRUE(chain.ProgramImage(0, MakeSimImage(100, 0xABCD)));
  EXPECT_EQ(chain.ReadRegister32(0, kOpUserCode), 0xABCDu);

  // Without the driver's help the entity describes no instruction register only if it has no
  // opcodes either; with its opcodes the width follows them.
  EXPECT_EQ(DescriptionFromEntity(entity.Dispatch()).InstructionLength, 10);
  EXPECT_THROW(DescriptionFromEntity(nullptr), std::invalid_argument);
}

}  // namespace
}  // namespace tavix::jtagsim
