#include "simhost/jtag/SimTap.h"

#include <array>

namespace tavix::jtagsim {

namespace {

constexpr std::array<std::string_view, 17> kNames = {
    "?",         "Test-Logic-Reset", "Run-Test/Idle", "Select-DR-Scan", "Capture-DR", "Shift-DR",
    "Exit1-DR",  "Pause-DR",         "Exit2-DR",      "Update-DR",      "Select-IR-Scan",
    "Capture-IR", "Shift-IR",        "Exit1-IR",      "Pause-IR",       "Exit2-IR",  "Update-IR"};

// Shortest paths between every pair of states, found once by breadth-first search.
struct TPathTable {
  std::array<std::array<TTmsPath, 17>, 17> Paths{};
  TPathTable() {
    for (int from = kTapStateFirst; from <= kTapStateLast; ++from) {
      std::array<bool, 17> seen{};
      std::array<int, 17> queue{};
      int head = 0, tail = 0;
      queue[tail++] = from;
      seen[from] = true;
      while (head < tail) {
        const int s = queue[head++];
        for (int tms = 0; tms < 2; ++tms) {
          const int n = static_cast<int>(kTapNext[s][tms]);
          if (seen[n]) continue;
          seen[n] = true;
          TTmsPath p = Paths[from][s];
          p.Bits |= static_cast<uint32_t>(tms) << p.Count;
          ++p.Count;
          Paths[from][n] = p;
          queue[tail++] = n;
        }
      }
    }
  }
};

const TPathTable& PathTable() {
  static const TPathTable table;
  return table;
}

}  // namespace

std::string_view TapStateName(TTapState state) {
  const int n = static_cast<int>(state);
  return IsTapState(n) ? kNames[n] : kNames[0];
}

TTmsPath TmsPath(TTapState from, TTapState to) {
  const int f = static_cast<int>(from), t = static_cast<int>(to);
  if (!IsTapState(f) || !IsTapState(t)) return {};
  return PathTable().Paths[f][t];
}

}  // namespace tavix::jtagsim
