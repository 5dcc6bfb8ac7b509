// A simulated device from a boundary-scan description: reads an entity through its automation
// contract (the DISPIDs the host walks: name, instruction length, IDCODE, opcodes, boundary
// cells) and makes the TSimDeviceDescription the chain builds devices from. Works for the
// module's built-in entities and for any parsed BSDL file, so a foreign device can join a chain.
#pragma once

#include <cstdint>

#include "platform/automation/Automation.h"
#include "simhost/jtag/SimDevice.h"

namespace tavix::jtagsim {

// What an entity may leave open. Zero / -1 fields are taken from the entity (or derived).
struct TBsdlDeviceOptions {
  uint32_t IdCode = 0;         // used when the entity answers 0 (the built-in ones do)
  int InstructionLength = 0;   // used when the entity answers 0; else the opcodes' width
  int32_t StatusCell = -1;     // CONF_DONE cell; -1: the catalog's cell for a known die
};

// Throws EOleError when a call into the entity fails, std::invalid_argument when what it
// describes makes no device (no instruction register, an opcode pattern that is not binary).
//
// Opcode patterns are binary text, most significant bit first; a don't-care bit ('X') reads
// as 0. Cells missing from the entity are internal; a control-cell reference to a cell that is
// no control cell is dropped. Altera devices with a 10-bit instruction register get the
// configuration instructions (PROGRAM, STARTUP, CHECK_STATUS, ACTIVE_DISENGAGE) their BSDL
// files leave out.
TSimDeviceDescription DescriptionFromEntity(IDispatch* entity, const TBsdlDeviceOptions& options = {});

}  // namespace tavix::jtagsim
