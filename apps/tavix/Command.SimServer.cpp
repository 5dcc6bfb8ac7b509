// tavix sim-server --remote-bitbang PORT [--chain DEVICES]: serves a simulated JTAG chain to
// OpenOCD (adapter driver remote_bitbang) or any peer of that protocol on 127.0.0.1 until
// interrupted.
#include <csignal>
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "simhost/jtag/RemoteBitbang.h"
#include "simhost/jtag/SimDeviceCatalog.h"

namespace tavix::cli {
namespace {

struct SimServerOptions {
  int Port = -1;
  std::string Chain{jtagsim::kDefaultSimChain};
};

jtagsim::TRemoteBitbangServer* gServer = nullptr;

extern "C" void StopServing(int) {
  if (gServer) gServer->Stop();  // only writes to the server's wake-up pipe
}

void RunSimServer(const SimServerOptions& options) {
  std::vector<jtagsim::TSimDeviceDescription> devices;
  try {
    devices = jtagsim::ArriaVGZChain(options.Chain);
  } catch (const std::invalid_argument& e) {
    throw ECommandError(e.what());
  }
  jtagsim::TSimChain chain(devices);
  jtagsim::TRemoteBitbangServer server(chain);
  uint16_t port = 0;
  try {
    port = server.Listen(static_cast<uint16_t>(options.Port));
  } catch (const std::runtime_error& e) {
    throw ECommandError(e.what());
  }

  std::cout << "Serving a simulated JTAG chain on 127.0.0.1:" << port << " (remote_bitbang)\n";
  for (size_t p = 0; p < chain.DeviceCount(); ++p) {
    char id[16];
    std::snprintf(id, sizeof id, "0x%08X", chain.Device(p).Description().IdCode);
    std::cout << "  position " << p << ": " << chain.Device(p).Description().Name << "  IDCODE " << id << '\n';
  }
  std::cout << "OpenOCD: adapter driver remote_bitbang; remote_bitbang host 127.0.0.1; remote_bitbang port " << port
            << "\n(declare the TAPs from the TDO end: the last position first)\nCtrl-C stops.\n"
            << std::flush;

  gServer = &server;
  struct sigaction action {};
  action.sa_handler = StopServing;
  sigemptyset(&action.sa_mask);
  struct sigaction oldInt {}, oldTerm {};
  sigaction(SIGINT, &action, &oldInt);
  sigaction(SIGTERM, &action, &oldTerm);
  server.Run();
  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);
  gServer = nullptr;
  std::cout << "Stopped after " << server.PeersServed() << " connection(s).\n";
}

void RegisterSimServer(CLI::App& app, Session&) {
  auto options = std::make_shared<SimServerOptions>();
  CLI::App* command = app.add_subcommand("sim-server", "Serve the simulated JTAG chain over OpenOCD's remote_bitbang protocol");
  command->add_option("--remote-bitbang", options->Port, "TCP port on 127.0.0.1 (0: any free port)")
      ->required()
      ->check(CLI::Range(0, 65535));
  command->add_option("--chain", options->Chain,
                      "Devices from the TDI end, by ordering code or kind, separated by commas")
      ->capture_default_str();
  command->callback([options] { RunSimServer(*options); });
}

TAVIX_COMMAND(90, RegisterSimServer);

}  // namespace
}  // namespace tavix::cli
