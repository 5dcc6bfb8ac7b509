// The devices of a simulated chain as a person names them on the command line: entries
// separated by commas, nearest TDI first, each an Arria V GZ ordering code or kind number, or
// the path of a BSDL file (any device; a path has a "/" or ends in ".bsd" or ".bsdl").
#pragma once

#include <string>
#include <vector>

#include "simhost/jtag/SimDevice.h"

namespace tavix::cli {

// Raises ECommandError naming the entry that is neither, or the file that does not read.
std::vector<jtagsim::TSimDeviceDescription> ParseSimChain(const std::string& names);

}  // namespace tavix::cli
