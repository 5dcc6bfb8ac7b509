// The device actions on the simulated JTAG chain, as the host runs them: the chain, a device's
// configuration state, reset, user code, programming a raw bit file, and one boundary scan.
//   tavix [--chain DEVICES] chain | state | reset | usercode | program FILE | sample  [--device N]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "Format.h"
#include "platform/Files.h"
#include "platform/automation/Dispatch.h"

namespace tavix::cli {
namespace {

using Clock = std::chrono::steady_clock;

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string StateName(int32_t state) {
  switch (state) {
    case 1: return "1 (reset, not configured)";
    case 2: return "2 (programmed)";
    default: return std::to_string(state);
  }
}

// The chain device (ITavixDevice) of a position: what the host asks for device actions.
IDispatch* ChainDevice(Session& session, size_t position) {
  return session.Port().TavixDevice(position).AsDispatch();
}

std::string DeviceLabel(Session& session, size_t position) {
  return "position " + std::to_string(position) + " (" + DispCall(ChainDevice(session, position), 503380).AsString() +
         ")";
}

// The IDCODEs as a scan after Test-Logic-Reset shows them, nearest TDI first: a device that
// shifts out a 1 first has a 32-bit IDCODE, one that shifts out a 0 is in BYPASS (0 here).
std::vector<uint32_t> ScanIdCodes(jtagsim::TSimChain& chain) {
  const size_t count = chain.DeviceCount();
  chain.ResetTap();
  const std::vector<uint8_t> zeros(32 * count, 0);
  const std::vector<uint8_t> bits = chain.ScanDR(zeros);
  chain.GoToState(jtagsim::TTapState::RunTestIdle);
  std::vector<uint32_t> codes;
  size_t i = 0;
  for (size_t d = 0; d < count && i < bits.size(); ++d) {
    if (!bits[i]) {
      codes.push_back(0);
      ++i;
      continue;
    }
    uint32_t code = 0;
    for (int b = 0; b < 32 && i < bits.size(); ++b, ++i) code |= uint32_t{bits[i]} << b;
    codes.push_back(code);
  }
  // Bits come out from the TDO end first.
  return {codes.rbegin(), codes.rend()};
}

void RunChain(Session& session) {
  sim::JTagPort& port = session.Port();
  const std::vector<uint32_t> codes = ScanIdCodes(port.Chain());
  TextTable table({"POS", "IDCODE", "DEVICE", "DRIVER", "STATE"}, {true});
  for (size_t p = 0; p < port.DeviceCount(); ++p) {
    const bool driven = port.Driver(p) != nullptr;
    const std::string name = port.Chain().Device(p).Description().Name;
    table.AddRow({std::to_string(p), p < codes.size() ? Hex32(codes[p]) : "-", name,
                  driven ? DispCall(port.Driver(p), 503380).AsString() : "-",
                  driven ? StateName(DispCall(ChainDevice(session, p), 503637).AsInt()) : "-"});
  }
  table.Print(std::cout);
}

void RunState(Session& session, int device) {
  const size_t p = session.ResolvePosition(device);
  std::cout << DeviceLabel(session, p) << ": state " << StateName(DispCall(ChainDevice(session, p), 503637).AsInt())
            << '\n';
}

void RunReset(Session& session, int device) {
  const size_t p = session.ResolvePosition(device);
  const bool reset = DispCall(ChainDevice(session, p), 503636).AsBool();
  std::cout << DeviceLabel(session, p) << ": " << (reset ? "reset" : "reset did not take") << ", state "
            << StateName(DispCall(ChainDevice(session, p), 503637).AsInt()) << '\n';
  if (!reset) throw ExitWithStatus{1};
}

void RunUserCode(Session& session, int device) {
  const size_t p = session.ResolvePosition(device);
  const uint32_t code = DispCall(session.Port().Driver(p), 503789).AsLow32();
  std::cout << DeviceLabel(session, p) << ": user code " << Hex32(code) << '\n';
}

// Draws the host's status-bar progress on stderr while a download runs (on a terminal; into a
// file or pipe it would only be noise).
class TProgressBar {
 public:
  explicit TProgressBar(sim::GuiManager& gui) : FGui(gui) {
    if (::isatty(STDERR_FILENO))
      FGui.SetStatusObserver([this](const sim::GuiManager& g, const sim::StatusCall&) { Draw(g); });
  }
  ~TProgressBar() { FGui.SetStatusObserver(nullptr); }

 private:
  void Draw(const sim::GuiManager& gui) {
    if (!gui.ProgressActive()) {
      if (FDrawn) std::cerr << '\n';
      FDrawn = false;
      FLast = -1;
      return;
    }
    const int percent = gui.ProgressPercent();
    if (percent == FLast) return;
    FLast = percent;
    FDrawn = true;
    const int filled = percent * 40 / 100;
    std::cerr << '\r' << gui.ProgressText() << " [" << std::string(filled, '#') << std::string(40 - filled, '.')
              << "] " << percent << "%" << std::flush;
  }

  sim::GuiManager& FGui;
  int FLast = -1;
  bool FDrawn = false;
};

void RunProgram(Session& session, const std::string& file, int device) {
  if (!FileExists(file)) throw ECommandError("no such file: " + file);
  const size_t p = session.ResolvePosition(device);
  std::cout << "Programming " << DeviceLabel(session, p) << " with " << file << '\n';
  int32_t bits = 0;
  const auto start = Clock::now();
  {
    TProgressBar bar(session.Host().Gui());
    bits = DispCall(ChainDevice(session, p), 503638, file).AsInt();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  char line[160];
  std::snprintf(line, sizeof line, "%d bits in %.2f s (%.2f Mbit/s)", bits, seconds,
                seconds > 0 ? bits / seconds / 1e6 : 0.0);
  std::cout << line << '\n';
  const int32_t state = DispCall(ChainDevice(session, p), 503637).AsInt();
  std::cout << "state " << StateName(state) << '\n';
  if (bits == 0 || state != 2)
    throw ECommandError("the device did not configure: " + file + " holds no complete image it accepts");
}

void RunSample(Session& session, int device) {
  const size_t p = session.ResolvePosition(device);
  IDispatch* driver = session.Port().Driver(p);
  const ComPtr<IDispatch> entity = DispCall(driver, 503406).AsDispatch();
  if (!entity) throw ECommandError(DeviceLabel(session, p) + " has no boundary-scan description");
  IDispatch* jtagDevice = session.Port().Device(p).AsDispatch();
  if (!DispCall(jtagDevice, 503566, entity.Get()).AsBool()) throw ECommandError("the boundary scan did not take");
  const int32_t count = DispCall(entity.Get(), 503467).AsInt();
  TextTable table({"PORT", "BALL", "LEVEL"});
  int high = 0, sampled = 0;
  for (int32_t i = 0; i < count; ++i) {
    const ComPtr<IDispatch> pin = DispCall(entity.Get(), 503462, i).AsDispatch();
    if (!pin || DispCall(pin.Get(), 503495).AsInt() == 0) continue;  // no boundary cell: no level
    const int32_t level = DispCall(pin.Get(), 503497).AsInt();
    ++sampled;
    high += level != 0;
    table.AddRow({DispCall(pin.Get(), 503491).AsString(), DispCall(pin.Get(), 503492).AsString(), std::to_string(level)});
  }
  std::cout << "Boundary scan of " << DeviceLabel(session, p) << ": " << sampled << " pins sampled, " << high
            << " high\n";
  table.Print(std::cout);
}

void RegisterJtag(CLI::App& app, Session& session) {
  app.add_subcommand("chain", "List the simulated JTAG chain: positions, IDCODEs, devices and states")
      ->callback([&session] { RunChain(session); });

  auto device = std::make_shared<int>(-1);
  auto addDevice = [device](CLI::App* command) {
    command->add_option("--device", *device, "Chain position (default: the first device with a driver)");
    return command;
  };
  addDevice(app.add_subcommand("state", "Read a device's configuration state"))->callback([&session, device] {
    RunState(session, *device);
  });
  addDevice(app.add_subcommand("reset", "Reset a device (clear its configuration)"))->callback([&session, device] {
    RunReset(session, *device);
  });
  addDevice(app.add_subcommand("usercode", "Read a device's 32-bit user code"))->callback([&session, device] {
    RunUserCode(session, *device);
  });
  auto file = std::make_shared<std::string>();
  CLI::App* program = addDevice(app.add_subcommand("program", "Program a raw bit file into a device"));
  program->add_option("FILE", *file, "Raw bit file (.rbf)")->required();
  program->callback([&session, device, file] { RunProgram(session, *file, *device); });
  addDevice(app.add_subcommand("sample", "Sample every pin of a device through one boundary scan"))
      ->callback([&session, device] { RunSample(session, *device); });
}

TAVIX_COMMAND(70, RegisterJtag);

}  // namespace
}  // namespace tavix::cli
