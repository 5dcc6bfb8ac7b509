// tavix devices: one row per device kind, from the drivers' own answers.
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "Format.h"
#include "platform/automation/Dispatch.h"

namespace tavix::cli {
namespace {

// One answer of a driver as a table cell; a failed query shows its code, an empty text "-".
std::string Cell(IDispatch* driver, DISPID id, bool hex = false) {
  try {
    const Variant value = DispCall(driver, id);
    if (hex) {
      char text[16];
      std::snprintf(text, sizeof text, "0x%08X", value.AsLow32());
      return text;
    }
    const std::string text = value.AsString();
    return text.empty() ? "-" : text;
  } catch (const EOleError& e) {
    return DescribeHResult(e.Code());
  }
}

void RunDevices(Session& session) {
  TextTable table({"KIND", "NAME", "IDCODE", "PACKAGE", "SPEED", "TEMP"}, {true});
  const int32_t count = session.KindCount();
  for (int32_t kind = 0; kind < count; ++kind) {
    IDispatch* driver = session.Driver(kind);
    table.AddRow({std::to_string(kind), Cell(driver, 503380), Cell(driver, 503379, true), Cell(driver, 503392),
                  Cell(driver, 503399), Cell(driver, 503396)});
  }
  table.Print(std::cout);
}

void RegisterDevices(CLI::App& app, Session& session) {
  CLI::App* devices = app.add_subcommand("devices", "List the device kinds the module describes");
  devices->callback([&session] { RunDevices(session); });
}

TAVIX_COMMAND(10, RegisterDevices);

}  // namespace
}  // namespace tavix::cli
