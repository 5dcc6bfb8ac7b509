// The generic driver's rack instrument and vendor-tool queries.
#include "host/Opal.Util.h"
#include "plugin/Tavix.Classes.h"

namespace tavix {

void TTavixDriver::CreateRackViewer() {
  if (FRackForm) return;
  FRackForm = CreateRackForm();
}

TForm* TTavixDriver::CreateRackForm() {
  const IJTagDevice device = GetOwnJTagDevice();
  if (!device) return nullptr;
  if (!device.GetEntity()) {
    const std::string name = FTavixDevice ? FTavixDevice.GetDeviceName() : std::string();
    ShowError("Failed To find Boundary Scan data for Device\r\r" "Device:  " + name);
    return nullptr;
  }
  // The live viewer form is not part of this build: with an entity the rack stays empty.
  return nullptr;
}

void TTavixDriver::ReleaseResources() {
  if (FRackView) {
    const IInstrumentView view = FRackView;
    FRackView.Clear();
    FRackForm = nullptr;  // the view disposes of its form
    view.Hidden();
  } else {
    FRackForm = nullptr;
  }
}

namespace {

// The host's vendor tool manager: the "FPGAFlow" server module's DISPID 509009.
THostRecord VendorToolManager() {
  const IClient client = HostClient();
  if (!client) return {};
  const IServerModule server = client.GetServerModule("FPGAFlow");
  if (!server) return {};
  return THostRecord(server.Call(509009).AsDispatch());
}

bool ManagerBool(DISPID id, const std::string& vendor) {
  const THostRecord manager = VendorToolManager();
  return manager && manager.Call(id, vendor).AsBool();
}

std::string ManagerText(DISPID id, const std::string& vendor) {
  const THostRecord manager = VendorToolManager();
  return manager ? manager.Call(id, vendor).AsString() : std::string();
}

std::string VendorToolPath(const std::string& vendor, const std::string& tool) {
  const THostRecord manager = VendorToolManager();
  return manager ? manager.Call(509004, vendor, tool).AsString() : std::string();
}

}  // namespace

bool TTavixDriver::VendorToolsPresent() {
  const std::string vendor = GetVendorName();
  if (SameText(vendor, "Xilinx") || SameText(vendor, "Lattice")) return ManagerBool(509002, vendor);
  if (SameText(vendor, "Altera")) return !VendorToolPath("Altera", "Quartus_Cmd").empty();
  if (SameText(vendor, "Actel")) return !VendorToolPath("Actel", "designer").empty();
  return true;
}

bool TTavixDriver::VendorToolsUpToDate() {
  const std::string vendor = GetVendorName();
  if (SameText(vendor, "Xilinx") || SameText(vendor, "Lattice")) return ManagerBool(509003, vendor);
  // The version lists of the build flow are not part of this build: installed tools count as current.
  if (SameText(vendor, "Altera")) return !VendorToolPath("Altera", "Quartus_Cmd").empty();
  if (SameText(vendor, "Actel")) return !VendorToolPath("Actel", "designer").empty();
  return true;
}

std::string TTavixDriver::VendorToolsDescriptor() {
  const std::string vendor = GetVendorName();
  if (SameText(vendor, "Xilinx") || SameText(vendor, "Lattice")) return ManagerText(509001, vendor);
  if (SameText(vendor, "Altera")) return "Altera Quartus II";
  if (SameText(vendor, "Actel")) return "ACTEL LiberoIDE";
  return {};
}

}  // namespace tavix
