#include "SimChainNames.h"

#include "Session.h"
#include "bsdl/Tavix.BSDL.Builder.h"
#include "platform/automation/AutoTypes.h"
#include "simhost/jtag/SimBsdlDescription.h"
#include "simhost/jtag/SimDeviceCatalog.h"

namespace tavix::cli {

namespace {

bool NamesFile(const std::string& entry) {
  const std::string lower = LowerCase(entry);
  auto endsWith = [&](const std::string& tail) {
    return lower.size() >= tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
  };
  return entry.find('/') != std::string::npos || endsWith(".bsd") || endsWith(".bsdl");
}

jtagsim::TSimDeviceDescription FromBsdlFile(const std::string& path) {
  const TBsdlParseResult parsed = ParseBSDLFile(path);
  if (!parsed.Ok()) throw ECommandError(parsed.Error());
  try {
    return jtagsim::DescriptionFromEntity(parsed.Entity->AsDispatch());
  } catch (const std::exception& e) {
    throw ECommandError(path + ": " + e.what());
  }
}

}  // namespace

std::vector<jtagsim::TSimDeviceDescription> ParseSimChain(const std::string& names) {
  std::vector<jtagsim::TSimDeviceDescription> chain;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(',', start);
    if (end == std::string::npos) end = names.size();
    const std::string entry = Trim(names.substr(start, end - start));
    try {
      if (NamesFile(entry)) {
        chain.push_back(FromBsdlFile(entry));
      } else {
        std::vector<jtagsim::TSimDeviceDescription> one = jtagsim::ArriaVGZChain(entry);
        chain.push_back(std::move(one.front()));
      }
    } catch (const std::invalid_argument& e) {
      throw ECommandError(e.what());
    }
    start = end + 1;
  }
  return chain;
}

}  // namespace tavix::cli
