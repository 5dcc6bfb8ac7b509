// Descriptions of the 32 Arria V GZ device kinds for the simulated chain, made from the
// catalog's facts: IDCODE of the die, 10-bit instruction register with the twelve published
// instructions and the configuration instructions, boundary length, and the CONF_DONE status
// cell. The boundary cells themselves are laid out here as a plausible stand-in: cells 0 and
// 1 internal, then one triple (input, control, three-state output; control 1 disables) per
// user I/O pin, with the CONF_DONE pin's triple starting at the status cell, and internal cells
// elsewhere. A description parsed from the device's BSDL file can take the place of one of
// these, as any TSimDeviceDescription can.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "simhost/jtag/SimDevice.h"

namespace tavix::jtagsim {

constexpr int kArriaVGZKindCount = 32;

// Kind 0..31 in the catalog's order ("5AGZME1E2H29C3N" first); throws std::out_of_range
// for another number.
TSimDeviceDescription ArriaVGZDescription(int kind);

// The kind of an ordering code such as "5AGZME7K3F40I4N", without regard to case.
std::optional<int> FindArriaVGZKind(std::string_view fullName);

// A chain from a list of ordering codes or kind numbers separated by commas, the device
// nearest TDI first, e.g. "5AGZME1E2H29C3N,28". Throws std::invalid_argument naming an entry
// that is neither, or for an empty list.
std::vector<TSimDeviceDescription> ArriaVGZChain(std::string_view names);

// The simulated chain a host runs on when it is given none: one 5AGZME1E2H29C3N.
constexpr std::string_view kDefaultSimChain = "5AGZME1E2H29C3N";

// The CONF_DONE status cell of the die an IDCODE names (version bits ignored); none for an
// IDCODE of no Arria V GZ die.
std::optional<int32_t> ArriaVGZStatusCell(uint32_t idCode);

// Size of the kind's full configuration image, in bits.
uint64_t ArriaVGZConfigBits(int kind);

// Configuration opcodes of the family's 10-bit instruction register.
constexpr uint32_t kOpProgram = 0x002;
constexpr uint32_t kOpStartup = 0x003;
constexpr uint32_t kOpCheckStatus = 0x004;
constexpr uint32_t kOpSample = 0x005;
constexpr uint32_t kOpIdCode = 0x006;
constexpr uint32_t kOpUserCode = 0x007;
constexpr uint32_t kOpActiveDisengage = 0x2D0;
constexpr uint32_t kOpBypass = 0x3FF;

}  // namespace tavix::jtagsim
