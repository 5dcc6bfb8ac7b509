// tavix info / pins / iostandards: what the module's catalog says about one device kind, read
// through the driver, pin and I/O-standard objects exactly as a host reads them.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "Format.h"
#include "plugin/Tavix.Interfaces.h"

namespace tavix::cli {
namespace {

// One answer as text; a failed query shows its code.
std::string Answer(IDispatch* object, DISPID id) {
  try {
    const Variant value = DispCall(object, id);
    switch (value.Type()) {
      case VT_BOOL:
        return value.AsBool() ? "True" : "False";
      case VT_DISPATCH:
        return value.Raw().pdispVal ? "(object)" : "(none)";
      default:
        return value.AsString();
    }
  } catch (const EOleError& e) {
    return DescribeHResult(e.Code());
  }
}

std::string Hex(IDispatch* object, DISPID id) {
  try {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", DispCall(object, id).AsLow32());
    return text;
  } catch (const EOleError& e) {
    return DescribeHResult(e.Code());
  }
}

// ---- info ----

struct InfoLine {
  DISPID Id;
  const char* Label;
};

// The descriptive answers of the device-information contract, in DISPID order. Pins and
// standards have commands of their own; the boundary-scan entity is shown as present or not.
constexpr InfoLine kInfo[] = {
    {503380, "Device name"},         {503381, "Description"},          {503423, "Display name"},
    {503382, "Family"},              {503383, "Family description"},   {503407, "Vendor"},
    {503384, "Library"},             {503385, "Vendor primitive library"},
    {503386, "Base name"},           {503387, "Equivalent gates"},     {503388, "Max I/O for base"},
    {503389, "Package type id"},     {503390, "Package type"},         {503391, "Package type description"},
    {503392, "Package id"},          {503393, "Package"},              {503394, "Package description"},
    {503395, "Package dimensions"},  {503396, "Temperature grade id"}, {503397, "Temperature grade"},
    {503398, "Temperature grade description"},                        {503399, "Speed grade id"},
    {503400, "Speed grade"},         {503401, "Speed grade description"},
    {503402, "Option designator id"}, {503403, "Option designator"},   {503404, "Option designator description"},
    {503405, "BSDL file"},           {503406, "BSDL entity"},          {503408, "Instruction length"},
    {503409, "Pins"},                {503410, "I/O pins"},             {503419, "Differential pairs"},
    {503420, "High-speed differential pairs"},                         {503421, "I/O standards"},
    {503413, "DSP multipliers"},     {503414, "Clock managers"},       {503415, "Memory size"},
    {503416, "Termination support"}, {503417, "Global clocks"},        {503418, "Configuration memory size"},
    {503412, "Download file extensions"},
};

void RunInfo(Session& session, const std::string& device) {
  const int32_t kind = session.ResolveDevice(device);
  IDispatch* driver = session.Driver(kind);
  TextTable table({"FIELD", "VALUE"});
  table.AddRow({"Kind", std::to_string(kind)});
  table.AddRow({"IDCODE", Hex(driver, 503379)});
  for (const InfoLine& line : kInfo) {
    const std::string answer = Answer(driver, line.Id);
    table.AddRow({line.Label, answer.empty() ? "(empty)" : answer});
  }
  table.Print(std::cout);
}

// ---- pins ----

// The pin flags by DISPID, with the names the pin lists use.
struct PinFlag {
  DISPID Id;
  const char* Name;
};
constexpr PinFlag kPinFlags[] = {
    {503527, "IO"},        {503529, "VREF"},         {503528, "CLK"},         {503530, "Special"},
    {503533, "InputOnly"}, {503534, "DCIP"},         {503535, "DCIN"},        {503536, "DiffP"},
    {503537, "DiffN"},     {503538, "HDiffP"},       {503539, "HDiffN"},      {503540, "TransmitDiff"},
    {503541, "ReceiveDiff"}, {503542, "ClkDiffP"},   {503543, "ClkDiffN"},    {503544, "DLL"},
};

std::string Join(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
  return text;
}

// A CSV field: quoted when it holds a separator, quote or line break.
std::string Csv(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

struct PinsOptions {
  std::string Device;
  bool Csv = false;
  bool Header = false;
};

void RunPins(Session& session, const PinsOptions& options) {
  const int32_t kind = session.ResolveDevice(options.Device);
  IDispatch* driver = session.Driver(kind);
  const int32_t count = DispCall(driver, 503409).AsInt();
  TextTable table({"INDEX", "BALL", "BANK", "DIFF", "CLKDIFF", "FLAGS", "STANDARDS"}, {true});
  if (options.Csv && options.Header) std::cout << "index,ball,bank,diff_id,clk_diff_id,flags,standards\n";
  for (int32_t i = 0; i < count; ++i) {
    const IDevicePin pin(DispCall(driver, 503411, i));
    if (!pin) throw ECommandError("the driver has no pin " + std::to_string(i));
    std::vector<std::string> flags;
    for (const PinFlag& flag : kPinFlags)
      if (pin.GetFlag(flag.Id)) flags.push_back(flag.Name);
    const int32_t standardCount = pin.GetIOStandardCount();
    std::vector<std::string> row = {std::to_string(i), pin.GetPinNumber(), pin.GetIOBank(), pin.GetDifferentialId(),
                                    pin.GetClkDifferentialId(), Join(flags, "+")};
    if (options.Csv) {
      std::vector<std::string> standards;
      for (int32_t s = 0; s < standardCount; ++s) standards.push_back(pin.GetIOStandard(s).GetParamName());
      row.push_back(Join(standards, "+"));
      std::vector<std::string> fields;
      for (const std::string& cell : row) fields.push_back(Csv(cell));
      std::cout << Join(fields, ",") << '\n';
    } else {
      for (size_t c = 2; c < row.size(); ++c)
        if (row[c].empty()) row[c] = "-";
      row.push_back(std::to_string(standardCount));
      table.AddRow(std::move(row));
    }
  }
  if (!options.Csv) table.Print(std::cout);
}

// ---- I/O standards ----

void RunIOStandards(Session& session, const std::string& device) {
  const int32_t kind = session.ResolveDevice(device);
  IDispatch* driver = session.Driver(kind);
  const int32_t count = DispCall(driver, 503421).AsInt();
  TextTable table({"INDEX", "PARAM", "NAME", "SLEW RATES", "DRIVE STRENGTHS"}, {true});
  for (int32_t i = 0; i < count; ++i) {
    const IDeviceIOStandard standard(DispCall(driver, 503422, i));
    if (!standard) throw ECommandError("the driver has no I/O standard " + std::to_string(i));
    std::vector<std::string> slews, drives;
    for (int32_t s = 0, n = standard.GetSlewCount(); s < n; ++s) slews.push_back(standard.GetSlewValue(s));
    for (int32_t d = 0, n = standard.GetDriveCount(); d < n; ++d) drives.push_back(standard.GetDriveStrength(d));
    table.AddRow({std::to_string(i), standard.GetParamName(), standard.GetDisplayName(),
                  slews.empty() ? "-" : Join(slews, ","), drives.empty() ? "-" : Join(drives, ",")});
  }
  table.Print(std::cout);
}

void RegisterCatalog(CLI::App& app, Session& session) {
  auto infoDevice = std::make_shared<std::string>();
  CLI::App* info = app.add_subcommand("info", "Describe a device kind: every answer of its device information");
  info->add_option("device", *infoDevice, "Kind number or ordering code (any case), e.g. 0 or 5agzme1e2h29c3n")
      ->required();
  info->callback([&session, infoDevice] { RunInfo(session, *infoDevice); });

  auto pinsOptions = std::make_shared<PinsOptions>();
  CLI::App* pins = app.add_subcommand("pins", "List a device's pins: bank, pair ids, roles and I/O standards");
  pins->add_option("device", pinsOptions->Device, "Kind number or ordering code (any case)")->required();
  pins->add_flag("--csv", pinsOptions->Csv,
                 "One comma-separated line per pin: index, ball, bank, pair id, clock-pair id, roles and "
                 "standards (each '+'-joined)");
  pins->add_flag("--header", pinsOptions->Header, "With --csv: a first line naming the columns");
  pins->callback([&session, pinsOptions] { RunPins(session, *pinsOptions); });

  auto standardsDevice = std::make_shared<std::string>();
  CLI::App* standards =
      app.add_subcommand("iostandards", "List a device's I/O standards with their slew rates and drive strengths");
  standards->add_option("device", *standardsDevice, "Kind number or ordering code (any case)")->required();
  standards->callback([&session, standardsDevice] { RunIOStandards(session, *standardsDevice); });
}

TAVIX_COMMAND(12, RegisterCatalog);

}  // namespace
}  // namespace tavix::cli
