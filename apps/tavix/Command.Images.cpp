// tavix make-rbf FILE [--size BYTES] [--usercode CODE] [--device NAME]: writes a configuration
// image the simulated devices accept; tavix check-rbf FILE: tells what a simulated device would
// make of a file.
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimImage.h"

namespace tavix::cli {
namespace {

struct MakeRbfOptions {
  std::string File;
  std::string Size;      // bytes; empty: the device's full image
  std::string UserCode = "0";
  std::string Device{"5AGZME1E2H29C3N"};
};

uint64_t ParseNumber(const std::string& text, const char* what, uint64_t limit) {
  size_t used = 0;
  unsigned long long value = 0;
  try {
    if (!text.empty() && text[0] != '-') value = std::stoull(text, &used, 0);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value > limit)
    throw ECommandError(std::string(what) + " \"" + text + "\" is not a number from 0 to " + std::to_string(limit));
  return value;
}

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

void RunMakeRbf(const MakeRbfOptions& options) {
  const std::optional<int> kind = jtagsim::FindArriaVGZKind(options.Device);
  if (!kind) throw ECommandError("\"" + options.Device + "\" is no Arria V GZ ordering code");
  const uint64_t size = options.Size.empty() ? jtagsim::ArriaVGZConfigBits(*kind) / 8
                                             : ParseNumber(options.Size, "size", jtagsim::kSimImageMaxSize);
  const auto userCode = static_cast<uint32_t>(ParseNumber(options.UserCode, "user code", 0xFFFFFFFFu));
  try {
    jtagsim::WriteSimImageFile(options.File, size, userCode);
  } catch (const std::exception& e) {
    throw ECommandError(e.what());
  }
  std::cout << "Wrote " << options.File << ": " << size << " bytes (" << size * 8 << " bits), user code "
            << Hex32(userCode) << '\n';
}

void RunCheckRbf(const std::string& file) {
  jtagsim::TSimImageCheck check;
  try {
    check = jtagsim::CheckSimImageFile(file);
  } catch (const std::exception& e) {
    throw ECommandError(e.what());
  }
  std::cout << file << ": " << check.Message << '\n';
  if (check.PayloadLength != 0 || check.Valid)
    std::cout << "  sync word at byte " << check.SyncOffset << ", payload " << check.PayloadLength
              << " bytes, user code " << Hex32(check.UserCode) << '\n';
  if (!check.Valid) throw ExitWithStatus(1);
}

void RegisterImages(CLI::App& app, Session&) {
  auto options = std::make_shared<MakeRbfOptions>();
  CLI::App* make = app.add_subcommand("make-rbf", "Write a raw bit file the simulated devices accept");
  make->add_option("file", options->File, "File to write")->required();
  make->add_option("--size", options->Size, "Size in bytes (default: the device's full configuration image)");
  make->add_option("--usercode", options->UserCode, "User code the device shows once configured (decimal or 0x-hex)")
      ->capture_default_str();
  make->add_option("--device", options->Device, "Device whose full image size is the default")->capture_default_str();
  make->callback([options] { RunMakeRbf(*options); });

  auto file = std::make_shared<std::string>();
  CLI::App* check = app.add_subcommand("check-rbf", "Tell whether a simulated device would configure from a raw bit file");
  check->add_option("file", *file, "File to check")->required();
  check->callback([file] { RunCheckRbf(*file); });
}

TAVIX_COMMAND(80, RegisterImages);

}  // namespace
}  // namespace tavix::cli
