// Status-bar progress and shortcut keys, both through the host's GUI manager.
#include <cstdint>
#include <vector>

#include "host/Opal.Util.h"

namespace tavix {

namespace {

std::vector<TPercentState>& PercentStack() {
  static std::vector<TPercentState> stack;
  return stack;
}

IGUIManager HostGUIManager() {
  const IClient client = HostClient();
  return client ? client.GetGUIManager() : IGUIManager();
}

void SendStatus(int32_t code, const std::string& text = {}) {
  if (const IGUIManager gui = HostGUIManager()) gui.UpdateStatusBar(code, text);
}

// count * 100 / total rounded to the nearest whole percent, halves to even; 100 for no total.
int32_t Percent(int64_t count, int64_t total) {
  if (total <= 0 || count >= total) return 100;
  if (count <= 0) return 0;
  // count < total here, so count * 100 fits unless the total is beyond any real file.
  const int64_t scaled = count <= INT64_MAX / 100 ? count * 100 : INT64_MAX;
  int64_t quotient = scaled / total;
  const int64_t remainder = scaled % total;
  const int64_t rest = total - remainder;
  if (remainder > rest || (remainder == rest && (quotient % 2) != 0)) ++quotient;
  return static_cast<int32_t>(quotient > 100 ? 100 : quotient);
}

}  // namespace

void ResetStatus() { SendStatus(eStatus_Reset); }

void BeginProgress(const std::string& text, int64_t total) {
  SendStatus(eStatus_BeginProgress);
  SendStatus(eStatus_ProgressText, text);
  TPercentState state;
  state.TotalPercentCount = total;
  PercentStack().push_back(state);
}

void StepProgress() {
  auto& stack = PercentStack();
  if (stack.empty() || stack.back().Marquee) return;
  TPercentState& state = stack.back();
  ++state.CurrentPercentCount;
  // Most steps gain no whole percent: below old + 1/2 the rounded percent cannot have grown.
  // (Callers step once per byte of a download, so the division is kept off that path.)
  if (state.TotalPercentCount > 0 && state.CurrentPercentCount < state.TotalPercentCount &&
      state.CurrentPercentCount * 200 < (2 * int64_t{state.OldPercent} + 1) * state.TotalPercentCount)
    return;
  const int32_t percent = Percent(state.CurrentPercentCount, state.TotalPercentCount);
  if (percent <= state.OldPercent) return;
  const IGUIManager gui = HostGUIManager();
  while (state.OldPercent < percent) {
    ++state.OldPercent;
    if (gui) gui.UpdateStatusBar(eStatus_StepPercent, std::string());
  }
}

void EndProgress() {
  auto& stack = PercentStack();
  if (stack.empty() || stack.back().Marquee) return;
  stack.pop_back();
  SendStatus(eStatus_EndProgressText);
  SendStatus(eStatus_EndProgress);
}

int32_t ProgressDepth() { return static_cast<int32_t>(PercentStack().size()); }

bool ProcessShortcut(int32_t key) {
  const IGUIManager gui = HostGUIManager();
  if (!gui) return false;
  const bool alt = IsAltDown();
  const bool shift = IsShiftDown();
  const bool ctrl = IsCtrlDown();
  if (!gui.IsShortcutKey(key, alt, shift, ctrl)) return false;
  gui.ProcessShortcutKey(key, alt, shift, ctrl);
  return true;
}

}  // namespace tavix
