#include "Commands.h"

#include <algorithm>
#include <vector>

namespace tavix::cli {

namespace {
struct Group {
  int Order;
  CommandRegistration Registration;
};
// Function-local, so it exists before any file's static registration runs.
std::vector<Group>& Groups() {
  static std::vector<Group> groups;
  return groups;
}
}  // namespace

bool AddCommandGroup(int order, CommandRegistration registration) {
  Groups().push_back({order, registration});
  return true;
}

void RegisterCommands(CLI::App& app, Session& session) {
  std::vector<Group> groups = Groups();
  std::stable_sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) { return a.Order < b.Order; });
  for (const Group& g : groups) g.Registration(app, session);
}

}  // namespace tavix::cli
