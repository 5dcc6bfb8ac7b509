// How tavix commands come to be: each command group lives in its own file and registers its
// subcommands with one line,
//
//   TAVIX_COMMAND(20, RegisterDevices);   // 20: its place in the help listing
//
// where RegisterDevices(CLI::App& app, Session& session) adds the subcommand, its options and
// the callback that runs it. A callback reports a failure by throwing ECommandError.
#pragma once

#include <CLI/CLI.hpp>

#include "Session.h"

namespace tavix::cli {

using CommandRegistration = void (*)(CLI::App& app, Session& session);

// Adds a command group; called from static initialisers, so it only records.
bool AddCommandGroup(int order, CommandRegistration registration);
// Registers every command group in order.
void RegisterCommands(CLI::App& app, Session& session);

#define TAVIX_COMMAND_JOIN2(a, b) a##b
#define TAVIX_COMMAND_JOIN(a, b) TAVIX_COMMAND_JOIN2(a, b)
#define TAVIX_COMMAND(order, registration) \
  [[maybe_unused]] static const bool TAVIX_COMMAND_JOIN(kCommandGroup_, __LINE__) = ::tavix::cli::AddCommandGroup(order, registration)

}  // namespace tavix::cli
