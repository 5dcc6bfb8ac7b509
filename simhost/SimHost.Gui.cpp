#include "simhost/SimHost.Gui.h"

#include <algorithm>

namespace tavix::sim {

void GuiManager::UpdateStatusBar(int32_t code, const std::string& text) {
  Expect(code >= eStatus_StepProgress, "unknown status-bar code");
  FStatusCalls.push_back({code, text});
  switch (code) {
    case eStatus_Reset:
      FStatusText.clear();
      FProgress.clear();
      break;
    case eStatus_BeginProgress:
      FProgress.push_back({});
      break;
    case eStatus_ProgressText:
      if (FProgress.empty()) FStatusText = text;
      else FProgress.back().Text = text;
      break;
    case eStatus_StepProgress:
      // A step without an open bar has nothing to move.
      if (!FProgress.empty()) FProgress.back().Percent = std::min(100, FProgress.back().Percent + 1);
      break;
    case eStatus_EndProgressText:
      if (FProgress.empty()) FStatusText.clear();
      else FProgress.back().Text.clear();
      break;
    case eStatus_EndProgress:
      if (!FProgress.empty()) FProgress.pop_back();
      break;
    case -2:
      break;  // reserved; the host shows nothing for it
    default:
      FStatusText = text;  // a non-negative code is a plain status message
      break;
  }
  if (FStatusObserver) FStatusObserver(*this, FStatusCalls.back());
}

void GuiManager::ShowPanel(const std::string& name, bool visible) {
  Expect(!name.empty(), "a panel needs a name");
  PanelState& panel = FPanels[UpperCase(name)];
  panel.Visible = visible;
  ++panel.ShowCalls;
}

void GuiManager::SetPanelSize(const std::string& name, int32_t width, int32_t height) {
  Expect(!name.empty(), "a panel needs a name");
  Expect(width >= 0 && height >= 0, "a panel size cannot be negative");
  PanelState& panel = FPanels[UpperCase(name)];
  panel.Width = width;
  panel.Height = height;
  ++panel.SizeCalls;
}

PanelState GuiManager::Panel(const std::string& name) const {
  const auto it = FPanels.find(UpperCase(name));
  return it == FPanels.end() ? PanelState{} : it->second;
}

void GuiManager::RegisterShortcut(ShortcutKey key, const std::string& command) { FShortcuts[key] = command; }

bool GuiManager::IsShortcut(ShortcutKey key) const { return FShortcuts.count(key) != 0; }

bool GuiManager::RunShortcut(ShortcutKey key) {
  const auto it = FShortcuts.find(key);
  if (it == FShortcuts.end()) return false;
  FShortcutsRun.push_back(it->second);
  return true;
}

ShortcutKey GuiManager::KeyArgs(const TDispArgs& args) {
  return {args.Int(0), args.Bool(1), args.Bool(2), args.Bool(3)};
}

bool GuiManager::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 164:  // status bar (code, text)
      UpdateStatusBar(args.Int(0), args.Str(1));
      return true;
    case 167:  // ShowPanel(name, visible)
      ShowPanel(args.Str(0), args.Bool(1));
      return true;
    case 171:  // SetPanelSize(name, width, height)
      SetPanelSize(args.Str(0), args.Int(1), args.Int(2));
      return true;
    case 158:  // is the key (with Alt, Shift, Ctrl) a shortcut?
      SetResultBool(result, IsShortcut(KeyArgs(args)));
      return true;
    case 156:  // run the shortcut
      Expect(RunShortcut(KeyArgs(args)), "the key is no shortcut");
      return true;
    default:
      return false;
  }
}

}  // namespace tavix::sim
