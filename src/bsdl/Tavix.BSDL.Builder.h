// Builds the model entity from a checked description, and the front door that reads a BSDL
// file all the way to its entity.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "bsdl/Tavix.BSDL.Resolve.h"
#include "bsdl/Tavix.Classes.BSDL.h"

namespace tavix {

// The entity of `description`. With the file and its parser, the entity and its VHDL objects
// (generics, ports, constants, attributes) carry their positions in the file; without them
// positions read 9999. Every pin with a pin number gets a pin mapping, which the entity lists.
TBSDLEntityPtr BuildBSDLEntity(const TBsdlDescription& description, const TBsdlParsedFile* file = nullptr,
                               std::shared_ptr<const TVHDLParser> parser = nullptr);

// A BSDL file read into its description and entity, or the error "file:line:column: message".
struct TBsdlParseResult {
  TBsdlReading Reading;
  TBSDLEntityPtr Entity;
  bool Ok() const { return Entity != nullptr; }
  const std::string& Error() const { return Reading.Error; }
};

TBsdlParseResult ParseBSDLText(std::string_view text, const std::string& fileName);
TBsdlParseResult ParseBSDLFile(const std::string& path);

}  // namespace tavix
