// tavix families: the device-family registry as the module sees it in this host: the built-in
// rows and what the installed extensions declare.
#include <iostream>

#include "Commands.h"
#include "Format.h"
#include "catalog/EDP.SCH.Util.h"

namespace tavix::cli {
namespace {

void RunFamilies(Session& session) {
  session.Host();  // the registry walks this host's plug-ins registry
  TextTable table({"FAMILY", "VENDOR", "EDIF", "DECLARED BY"});
  for (const TDeviceFamilyEntry& entry : GetDeviceFamilies())
    table.AddRow({entry.FamilyName, entry.Info.VendorName.empty() ? "-" : entry.Info.VendorName,
                  entry.Info.EDIF.empty() ? "-" : entry.Info.EDIF, entry.FromExtension ? entry.Source : "built-in"});
  table.Print(std::cout);
}

void RegisterFamilies(CLI::App& app, Session& session) {
  CLI::App* families = app.add_subcommand("families", "List the device families and their vendors");
  families->callback([&session] { RunFamilies(session); });
}

TAVIX_COMMAND(20, RegisterFamilies);

}  // namespace
}  // namespace tavix::cli
