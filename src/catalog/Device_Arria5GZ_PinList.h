// The pin-list reader: reads one pin set's list (data/pinouts/<stem>.txt, layout in
// data/README.md) into rows. The build-time table generator compiles it; tests and tools that
// check pin lists use it as well.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/Device_Arria5GZ_Data.Tables.h"

namespace tavix {

// A malformed pin list. what() is "file:line: message" (line 0 when the whole file is at fault).
class EPinListError : public std::runtime_error {
 public:
  EPinListError(const std::string& file, int line, const std::string& message);
  const std::string& File() const { return FFile; }
  int Line() const { return FLine; }
  const std::string& Message() const { return FMessage; }

 private:
  std::string FFile;
  int FLine;
  std::string FMessage;
};

struct TPinListRow {
  std::string Ball;
  std::string Bank;
  std::string DiffId;
  std::string ClkDiffId;
  TPinOptions Options = 0;
  TDeviceIOStandardSet Standards = 0;
  std::string Function;
  int Line = 0;  // line of the row in its file
};

struct TPinList {
  std::string File;
  std::vector<TPinListRow> Rows;  // in pin-list order

  // Counts the catalog serves for the set: pins flagged IO, DiffP/DiffN pairs (DiffP pins) and
  // high-speed pairs (HDiffP pins).
  int32_t CountOf(TPinOption option) const;
  int32_t IOCount() const { return CountOf(ePinOption_IO); }
  int32_t DiffCount() const { return CountOf(ePinOption_DiffP); }
  int32_t HSpeedDiffCount() const { return CountOf(ePinOption_HDiffP); }
};

// Reads a pin list file; raises EPinListError naming file and line.
TPinList ReadPinList(const std::string& path);
// Reads pin-list text; `file` names it in errors.
TPinList ParsePinList(std::string_view text, const std::string& file);

// What a pin's function makes of it on the boundary-scan side (data/README.md, "Functions").
enum TPinFunctionKind : uint8_t {
  ePinFunction_Other,   // a signal pin outside the boundary register (GXB_TX, NC, nCONFIG, ...)
  ePinFunction_IO,      // "IO": a user I/O with input, output and output-enable cells
  ePinFunction_Ground,  // "GND"
  ePinFunction_Power,   // "VCC..."
  ePinFunction_TDI,
  ePinFunction_TDO,
  ePinFunction_TMS,
  ePinFunction_TCK,
  ePinFunction_TRST,
};
TPinFunctionKind ClassifyPinFunction(std::string_view function);

// A row's fields parsed on their own (also used for messages): -1 when the name is unknown.
int FindPinOption(std::string_view name);
// Parses a Standards field ("general+LVPECL", "refclk", "-"); false when an item is unknown,
// with the item in `unknown`.
bool ParseStandards(std::string_view text, TDeviceIOStandardSet& standards, std::string& unknown);

}  // namespace tavix
