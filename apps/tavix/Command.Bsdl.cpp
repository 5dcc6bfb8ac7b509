// tavix bsdl X: a boundary-scan description in summary. X is a BSDL file, read with the
// module's own reader (a fault ends tavix with "file:line:column: message" and status 1), or a
// device (kind number or ordering code), whose driver hands out its built-in description; for a
// device the summary also names its BSDL file in the library's store.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <utility>
#include <vector>

#include "Commands.h"
#include "bsdl/Tavix.BSDL.Builder.h"
#include "platform/Files.h"
#include "platform/automation/Dispatch.h"
#include "plugin/Tavix.Interfaces.h"

namespace tavix::cli {
namespace {

struct BsdlOptions {
  std::string Target;
  bool Json = false;
};

// One summary, whichever way it was read. Negative numbers are "not known".
struct BsdlSummary {
  std::string Source;  // "file" or "device"
  std::string File, Entity, Conformance, Device, StorePath;
  int32_t Kind = -1;
  int32_t InstructionLength = 0;
  uint32_t IdCode = 0;
  int32_t BoundaryLength = 0;
  int64_t Ports = -1, Pins = 0, MappedPins = -1, Cells = 0, Instructions = 0, Registers = 0;
  std::vector<std::string> Notes;
};

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string JsonText(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

BsdlSummary SummariseFile(const std::string& path) {
  const TBsdlParseResult result = ParseBSDLFile(path);
  if (!result.Ok()) throw ECommandError(result.Error());
  const TBsdlDescription& d = result.Reading.Description;
  BsdlSummary s;
  s.Source = "file";
  s.File = path;
  s.Entity = d.EntityName;
  s.Conformance = d.ConformanceStatement;
  s.InstructionLength = d.InstructionLength;
  s.IdCode = d.IdCode;
  s.BoundaryLength = d.BoundaryLength;
  s.Ports = static_cast<int64_t>(result.Reading.File.Ports.size());
  s.Pins = static_cast<int64_t>(d.Pins.size());
  s.MappedPins = static_cast<int64_t>(result.Entity->PinMappings.size());
  s.Cells = static_cast<int64_t>(d.Cells.size());
  s.Instructions = static_cast<int64_t>(d.OpCodes.size());
  s.Registers = static_cast<int64_t>(d.Registers.size());
  s.Notes = result.Reading.Parser->Notes();
  return s;
}

BsdlSummary SummariseDevice(Session& session, const std::string& device) {
  const int32_t kind = session.ResolveDevice(device);
  IDispatch* driver = session.Driver(kind);
  const IDeviceInformation info(driver);
  const IBSDLEntity entity = info.GetBSDLEntity();
  if (entity.Empty()) throw ECommandError("device " + device + " has no boundary-scan description");
  BsdlSummary s;
  s.Source = "device";
  s.Kind = kind;
  s.Device = info.GetDeviceName();
  s.File = entity.GetFilename();
  s.Entity = entity.GetName();
  s.Conformance = entity.GetConformanceStatement();
  // The built-in description leaves these to the device; the driver knows them.
  s.InstructionLength = DispCall(driver, 503408).AsInt();
  s.IdCode = info.GetIdCode();
  s.BoundaryLength = entity.GetBoundaryLength();
  s.Pins = entity.GetPinCount();
  s.Cells = entity.GetBoundaryCellCount();
  s.Instructions = entity.GetInstructionOpcodeCount();
  s.Registers = entity.GetRegisterAssociationCount();
  const std::string vendor = info.GetVendorName();
  const std::string expected = TBSDLEntity::DetermineFullPath(info.GetBSDLFilename(), vendor, info.GetFamilyName(),
                                                              DispCall(driver, 509312).AsString());
  s.StorePath = TBSDLEntity::FindFullBSDLPath(expected);
  if (s.StorePath.empty()) {
    s.Notes.push_back("no BSDL file in the store; expected " + expected);
    if (vendor.empty()) s.Notes.push_back("no installed extension declares the vendor of family " + info.GetFamilyName());
  }
  return s;
}

// Label and value per line, the values aligned.
class TFieldList {
 public:
  void AddRow(std::vector<std::string> row) { FRows.push_back({row.at(0), row.at(1)}); }
  void Print(std::ostream& out) const {
    size_t width = 0;
    for (const auto& row : FRows) width = std::max(width, row.first.size());
    for (const auto& row : FRows) out << row.first << std::string(width + 2 - row.first.size(), ' ') << row.second << '\n';
  }

 private:
  std::vector<std::pair<std::string, std::string>> FRows;
};

void PrintText(const BsdlSummary& s) {
  TFieldList table;
  if (s.Source == "device") table.AddRow({"device", s.Device + " (kind " + std::to_string(s.Kind) + ")"});
  table.AddRow({"file", s.File});
  if (s.Source == "device") table.AddRow({"store", s.StorePath.empty() ? "-" : s.StorePath});
  table.AddRow({"entity", s.Entity});
  table.AddRow({"conformance", s.Conformance.empty() ? "-" : s.Conformance});
  table.AddRow({"instruction length", std::to_string(s.InstructionLength)});
  table.AddRow({"IDCODE", Hex(s.IdCode)});
  table.AddRow({"boundary length", std::to_string(s.BoundaryLength)});
  table.AddRow({"ports", s.Ports < 0 ? "-" : std::to_string(s.Ports)});
  table.AddRow({"pins", std::to_string(s.Pins) + (s.MappedPins >= 0 && s.MappedPins != s.Pins
                                                      ? " (" + std::to_string(s.MappedPins) + " on package pins)"
                                                      : "")});
  table.AddRow({"cells", std::to_string(s.Cells)});
  table.AddRow({"instructions", std::to_string(s.Instructions)});
  table.AddRow({"register associations", std::to_string(s.Registers)});
  table.Print(std::cout);
  for (const std::string& note : s.Notes) std::cout << "note: " << note << '\n';
}

void PrintJson(const BsdlSummary& s) {
  std::ostringstream out;
  auto number = [](int64_t value) { return value < 0 ? std::string("null") : std::to_string(value); };
  out << "{\"source\": " << JsonText(s.Source);
  if (s.Source == "device") {
    out << ", \"device\": " << JsonText(s.Device) << ", \"kind\": " << s.Kind
        << ", \"storePath\": " << (s.StorePath.empty() ? "null" : JsonText(s.StorePath));
  }
  out << ", \"file\": " << JsonText(s.File) << ", \"entity\": " << JsonText(s.Entity)
      << ", \"conformance\": " << JsonText(s.Conformance) << ", \"instructionLength\": " << s.InstructionLength
      << ", \"idcode\": " << JsonText(Hex(s.IdCode)) << ", \"boundaryLength\": " << s.BoundaryLength
      << ", \"ports\": " << number(s.Ports) << ", \"pins\": " << s.Pins << ", \"mappedPins\": " << number(s.MappedPins)
      << ", \"cells\": " << s.Cells << ", \"instructions\": " << s.Instructions
      << ", \"registerAssociations\": " << s.Registers << ", \"notes\": [";
  for (size_t i = 0; i < s.Notes.size(); ++i) out << (i ? ", " : "") << JsonText(s.Notes[i]);
  out << "]}\n";
  std::cout << out.str();
}

// A file when one exists under that name or the name looks like one; a device otherwise.
bool NamesFile(const std::string& target) {
  if (FileExists(target)) return true;
  const std::string extension = LowerCase(ExtractFileExt(target));
  return target.find('/') != std::string::npos || extension == ".bsd" || extension == ".bsdl";
}

void RunBsdl(Session& session, const BsdlOptions& options) {
  const BsdlSummary summary =
      NamesFile(options.Target) ? SummariseFile(options.Target) : SummariseDevice(session, options.Target);
  if (options.Json) PrintJson(summary);
  else PrintText(summary);
}

void RegisterBsdl(CLI::App& app, Session& session) {
  auto options = std::make_shared<BsdlOptions>();
  CLI::App* bsdl = app.add_subcommand("bsdl", "Summarise a BSDL file, or a device's built-in boundary-scan description");
  bsdl->add_option("X", options->Target, "BSDL file, or device kind number or ordering code")->required();
  bsdl->add_flag("--json", options->Json, "Print the summary as JSON");
  bsdl->callback([&session, options] { RunBsdl(session, *options); });
}

TAVIX_COMMAND(40, RegisterBsdl);

}  // namespace
}  // namespace tavix::cli
