// The host's GUI manager: status bar with its progress bar, docked panels and shortcut keys.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "simhost/SimHost.Object.h"

namespace tavix::sim {

// Status-bar codes a caller sends with DISPID 164: the bar opens with -3 and closes with -4,
// its caption is set with -5 and cleared with -6, and -7 moves it one percent.
enum StatusCode : int32_t {
  eStatus_Reset = -1,          // clears the status text and any progress
  eStatus_BeginProgress = -3,  // opens a progress bar at 0 percent
  eStatus_EndProgress = -4,    // closes the open progress bar
  eStatus_ProgressText = -5,   // the caption of the open progress bar (the status text without one)
  eStatus_EndProgressText = -6,  // clears that caption
  eStatus_StepProgress = -7,   // one percent further
};

struct StatusCall {
  int32_t Code;
  std::string Text;
};

struct PanelState {
  bool Visible = false;
  int32_t Width = 0;
  int32_t Height = 0;
  int ShowCalls = 0;
  int SizeCalls = 0;
};

struct ShortcutKey {
  int32_t Key;
  bool Alt, Shift, Ctrl;
  friend auto operator<=>(const ShortcutKey&, const ShortcutKey&) = default;
};

class GuiManager : public HostObject {
 public:
  // ---- status bar ----
  // Every call in the order received.
  const std::vector<StatusCall>& StatusCalls() const { return FStatusCalls; }
  std::string StatusText() const { return FStatusText; }
  // The innermost open progress bar (nested bars restore the outer one when they close).
  bool ProgressActive() const { return !FProgress.empty(); }
  int ProgressPercent() const { return FProgress.empty() ? 0 : FProgress.back().Percent; }
  std::string ProgressText() const { return FProgress.empty() ? std::string() : FProgress.back().Text; }
  size_t ProgressDepth() const { return FProgress.size(); }
  void UpdateStatusBar(int32_t code, const std::string& text);
  // Told after every status-bar call, so a host can draw the bar as it changes.
  void SetStatusObserver(std::function<void(const GuiManager&, const StatusCall&)> observer) {
    FStatusObserver = std::move(observer);
  }

  // ---- panels ----
  void ShowPanel(const std::string& name, bool visible);
  void SetPanelSize(const std::string& name, int32_t width, int32_t height);
  // Panel names are compared without regard to case; an unknown panel has the default state.
  PanelState Panel(const std::string& name) const;

  // ---- shortcut keys ----
  void RegisterShortcut(ShortcutKey key, const std::string& command);
  bool IsShortcut(ShortcutKey key) const;
  // Runs the shortcut's command (recorded); false when the key is no shortcut.
  bool RunShortcut(ShortcutKey key);
  const std::vector<std::string>& ShortcutsRun() const { return FShortcutsRun; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  struct Progress {
    int Percent = 0;
    std::string Text;
  };
  static ShortcutKey KeyArgs(const TDispArgs& args);

  std::vector<StatusCall> FStatusCalls;
  std::function<void(const GuiManager&, const StatusCall&)> FStatusObserver;
  std::string FStatusText;
  std::vector<Progress> FProgress;
  std::map<std::string, PanelState> FPanels;  // key: upper-cased name
  std::map<ShortcutKey, std::string> FShortcuts;
  std::vector<std::string> FShortcutsRun;
};

}  // namespace tavix::sim
