// tavix [--chain DEVICES] sim-server --remote-bitbang PORT: serves a simulated JTAG chain to
// OpenOCD (adapter driver remote_bitbang) or any peer of that protocol on 127.0.0.1 until
// interrupted.
#include <csignal>
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "SimChainNames.h"
#include "simhost/jtag/RemoteBitbang.h"
#include "simhost/jtag/SimDeviceCatalog.h"

namespace tavix::cli {
namespace {

struct SimServerOptions {
  int Port = -1;
};

jtagsim::TRemoteBitbangServer* gServer = nullptr;

extern "C" void StopServing(int) {
  if (gServer) gServer->Stop();  // only writes to the server's wake-up pipe
}

void RunSimServer(const SimServerOptions& options, const std::string& chainNames) {
  jtagsim::TSimChain chain(ParseSimChain(chainNames));
  jtagsim::TRemoteBitbangServer server(chain);
  uint16_t port = 0;
  try {
    port = server.Listen(static_cast<uint16_t>(options.Port));
  } catch (const std::runtime_error& e) {
    throw ECommandError(e.what());
  }

  std::cout << "Serving a simulated JTAG chain on 127.0.0.1:" << port << " (remote_bitbang)\n";
  for (size_t p = 0; p < chain.DeviceCount(); ++p) {
    const jtagsim::TSimDeviceDescription& d = chain.Device(p).Description();
    char id[16];
    std::snprintf(id, sizeof id, "0x%08X", d.IdCode);
    std::cout << "  position " << p << ": " << d.Name << "  IDCODE " << id << "  IR " << d.InstructionLength
              << " bits\n";
  }
  // OpenOCD declares the TAPs from the TDO end.
  std::cout << "OpenOCD configuration:\n  adapter driver remote_bitbang\n  remote_bitbang host 127.0.0.1\n"
            << "  remote_bitbang port " << port << "\n  transport select jtag\n";
  for (size_t p = chain.DeviceCount(); p-- > 0;) {
    const jtagsim::TSimDeviceDescription& d = chain.Device(p).Description();
    char id[16];
    std::snprintf(id, sizeof id, "0x%08x", d.IdCode);
    std::cout << "  jtag newtap p" << p << " tap -irlen " << d.InstructionLength;
    if (d.IdCode != 0) std::cout << " -expected-id " << id;
    std::cout << '\n';
  }
  std::cout << "Ctrl-C stops.\n" << std::flush;

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

void RegisterSimServer(CLI::App& app, Session& session) {
  auto options = std::make_shared<SimServerOptions>();
  CLI::App* command = app.add_subcommand("sim-server", "Serve the simulated JTAG chain over OpenOCD's remote_bitbang protocol");
  command->add_option("--remote-bitbang", options->Port, "TCP port on 127.0.0.1 (0: any free port)")
      ->required()
      ->check(CLI::Range(0, 65535));
  // The chain is tavix's --chain, as for every command that works on the simulated chain.
  command->callback([options, &session] { RunSimServer(*options, session.Chain); });
}

TAVIX_COMMAND(90, RegisterSimServer);

}  // namespace
}  // namespace tavix::cli
