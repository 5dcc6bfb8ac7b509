// tavix: the command-line host. Loads the driver module inside the stand-in host, exactly as a
// host does, and gives a person the module's job one command at a time.
#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
  using namespace tavix::cli;
  Session session;
  CLI::App app("tavix - the Arria V GZ device-driver module in a command-line host", "tavix");
  app.require_subcommand(1);
  app.failure_message([](const CLI::App* failed, const CLI::Error& e) {
    // A word where a command belongs is most likely a mistyped command.
    if (failed->get_subcommands().empty() && !failed->remaining().empty())
      return "tavix: unknown command \"" + failed->remaining().front() + "\" (see tavix --help)\n";
    return "tavix: " + std::string(e.what()) + '\n';
  });
  app.add_option("--module", session.ModulePath, "Driver module to load (default: Device_Arria5GZ.TVX beside tavix)");
  app.add_option("--extension", session.Extensions, "Extension folder to install into the host's plug-ins registry (repeatable)")
      ->type_size(1)
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--chain", session.Chain,
                 "The simulated JTAG chain from the TDI end, separated by commas: Arria V GZ ordering codes or "
                 "kinds, or BSDL files of other devices (default: 5AGZME1E2H29C3N)");
  RegisterCommands(app, session);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const ECommandError& e) {
    std::cout.flush();
    std::cerr << "tavix: " << e.what() << '\n';
    return 1;
  } catch (const ExitWithStatus& e) {
    return e.Status;
  } catch (const std::exception& e) {
    std::cerr << "tavix: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
