// The built driver module on the stand-in host's simulated JTAG chain: the host sets each
// driver's chain device, and the device actions the host asks of its chain devices come back
// to the drivers, which drive the chain through the host's channel and its lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "jtag/Tavix.JTagInterfaces.h"
#include "simhost/SimHost.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimHost.JTag.h"
#include "simhost/jtag/SimImage.h"

namespace tavix::sim {
namespace {

class SimulatedChainE2E : public ::testing::Test {
 protected:
  SimulatedChainE2E()
      : Host(SimHostOptions{.Clock = ClockMode::Manual}),
        Module(Host.LoadDriverModule(Host.ProgramFolder() + "Device_Arria5GZ.TVX")),
        // 5AGZME3H3F35I4N nearest TDI, then 5AGZME5K2F40C3N, 5AGZME1E2H29C3N at TDO.
        Port(AddSimulatedChain(Host, jtagsim::ArriaVGZChain("15,20,0"))) {
    AttachArriaVGZDrivers(*Port.Get(), [this](int32_t kind) { return Module.Driver(kind); });
    // Until the module describes its kinds, its drivers cannot act on their devices.
    CatalogPresent = DispCall(Module.Driver(0), 503380).AsString() == "5AGZME1E2H29C3N";
    Folder = std::filesystem::temp_directory_path() / ("tavix_chain_e2e_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder);
  }
  ~SimulatedChainE2E() override {
    Port->DetachDrivers();
    std::filesystem::remove_all(Folder);
  }

  ITavixDevice ChainDevice(int32_t position) const {
    // As the module sees it: the driver's chain device (DISPID 503753).
    return ITavixDevice(DispCall(Port->Driver(static_cast<size_t>(position)), 503753));
  }

  SimHost Host;
  DriverModule& Module;
  ComPtr<JTagPort> Port;
  std::filesystem::path Folder;
  bool CatalogPresent = false;
};

TEST_F(SimulatedChainE2E, DriversProgramReadAndResetTheirDevices) {
  if (!CatalogPresent) GTEST_SKIP() << "this build of the module does not describe its device kinds yet";
  const std::string file = (Folder / "design.rbf").string();
  jtagsim::WriteSimImageFile(file, 4096, 0xFEED0001);
  for (int32_t position = 0; position < 3; ++position) {
    const ITavixDevice device = ChainDevice(position);
    ASSERT_TRUE(device) << "the host set the driver's chain device";
    EXPECT_EQ(device.GetChainPosition(), position);
    EXPECT_EQ(device.GetHardDeviceState(), 1);
  }
  const ITavixDevice middle = ChainDevice(1);
  EXPECT_EQ(middle.GetDeviceName(), "5AGZME5K2F40C3N");
  EXPECT_EQ(middle.ProgramHardDevice(file), 4096 * 8);
  EXPECT_EQ(middle.GetHardDeviceState(), 2);
  EXPECT_EQ(DispCall(Port->Driver(1), 503789).AsLow32(), 0xFEED0001u) << "ReadUserCode";
  EXPECT_EQ(ChainDevice(0).GetHardDeviceState(), 1);
  EXPECT_EQ(ChainDevice(2).GetHardDeviceState(), 1);
  EXPECT_TRUE(middle.ResetHardDevice());
  EXPECT_EQ(middle.GetHardDeviceState(), 1);
  EXPECT_EQ(Port->Engine().AccessDepth(), 0);
}

TEST_F(SimulatedChainE2E, ScanBoundaryFillsTheDriversOwnEntity) {
  const IJTagChannel channel = ChainDevice(2).GetJTagChannel();
  const IJTagDevice device = channel.GetJTagDevice(2);
  const THostRecord entity = device.GetEntity();
  if (!entity) GTEST_SKIP() << "this build of the module has no boundary-scan entity yet";
  ASSERT_EQ(DispCall(entity.Dispatch(), 503469).AsInt(), 2131);
  // The configuration-done cell: 0 before configuration, 1 after.
  auto statusCell = [&] {
    const ComPtr<IDispatch> cell = DispCall(entity.Dispatch(), 503464, 1348).AsDispatch();
    return DispCall(cell.Get(), 503512).AsInt();
  };
  ASSERT_TRUE(device.ScanBoundary(entity.Dispatch()));
  EXPECT_EQ(statusCell(), 0);
  ASSERT_TRUE(Port->Chain().ProgramImage(2, jtagsim::MakeSimImage(256, 5)));
  ASSERT_TRUE(device.ScanBoundary(entity.Dispatch()));
  EXPECT_EQ(statusCell(), 1);
}

}  // namespace
}  // namespace tavix::sim
