// Turns what a BSDL file says (TBsdlParsedFile) into a checked, linked description: pins from
// the ports and the pin map, pin kinds from the TAP attributes and the names of linkage pins,
// cells linked to their pins and control cells, instructions and registers checked against
// each other. Also the front door that reads a file all the way to its description.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "bsdl/Tavix.BSDL.Description.h"
#include "bsdl/Tavix.BSDL.Parser.h"

namespace tavix {

// Files larger than this are refused unread.
constexpr int64_t kBsdlMaxFileSize = 32 << 20;

// Checks and links; raises EBsdlError at the first fault. Notes go to the parser.
TBsdlDescription ResolveBSDL(const TBsdlParsedFile& file, TBsdlParser& parser);

// Pin kinds of linkage pins by name: supplies and grounds.
bool IsPowerPinName(std::string_view name);
bool IsGroundPinName(std::string_view name);

// One reading of a description: the parser (with its notes), what the file says, and the
// description; or the error "file:line:column: message".
struct TBsdlReading {
  std::shared_ptr<TBsdlParser> Parser;
  TBsdlParsedFile File;
  TBsdlDescription Description;
  std::string Error;
  bool Ok() const { return Error.empty(); }
};

// `fileName` names the text in errors and in the description.
bool ReadBSDLText(std::string_view text, const std::string& fileName, TBsdlReading& reading);
bool ReadBSDLFile(const std::string& path, TBsdlReading& reading);

}  // namespace tavix
