#include "platform/os/Windows.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <utility>

namespace tavix::os {

namespace {

struct TWindowRecord {
  HWND Handle = 0;
  std::string ClassName;
  std::string Text;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  TRect Bounds;  // relative to the parent's client area, or screen for top-level windows
  HWND Parent = 0;
  HWND Owner = 0;
  std::vector<HWND> Children;
  std::shared_ptr<TWindowProc> Proc;
  std::map<std::string, void*> Props;
  std::set<uint32_t> DeletedMenuCommands;
  bool Destroying = false;
};

struct TDeviceContext {
  TPoint Origin;
  std::vector<TPoint> Saved;
};

constexpr HWND kFirstHandle = 0x1000;
constexpr HWND kHandleStep = 4;

// The process's window system. Windows, focus and monitors belong to the host's thread; the
// queue alone is locked, so that other threads may post.
struct TWindowSystem {
  std::map<HWND, std::unique_ptr<TWindowRecord>> Windows;
  std::vector<HWND> TopLevels;
  HWND NextHandle = kFirstHandle;
  HWND Focus = 0;
  HWND Active = 0;
  TPoint Cursor;
  std::vector<TMonitorInfo> Monitors;

  std::mutex QueueLock;
  std::deque<TMsg> Queue;

  std::vector<std::pair<int32_t, std::shared_ptr<TMessageFilter>>> Filters;
  int32_t NextFilterId = 1;
  TModalIdleHandler ModalIdle;

  std::map<HDC, TDeviceContext> DeviceContexts;
  HDC NextDC = 1;

  TWindowSystem() { Monitors = DefaultMonitors(); }

  static std::vector<TMonitorInfo> DefaultMonitors() {
    return {TMonitorInfo{TRect{0, 0, 1920, 1080}, TRect{0, 0, 1920, 1040}, true}};
  }

  TWindowRecord* Find(HWND window) {
    auto it = Windows.find(window);
    return it == Windows.end() ? nullptr : it->second.get();
  }

  HWND AllocateHandle() {
    // Handles grow; after the last representable one they start again low, skipping every
    // handle still alive, so a live handle never stands for two windows.
    for (;;) {
      HWND candidate = NextHandle;
      if (NextHandle > std::numeric_limits<HWND>::max() - kHandleStep) NextHandle = kFirstHandle;
      else NextHandle += kHandleStep;
      if (!Windows.count(candidate)) return candidate;
    }
  }
};

TWindowSystem& System() {
  static TWindowSystem* system = new TWindowSystem();  // lives until the process ends
  return *system;
}

bool IsChildStyle(const TWindowRecord& w) { return (w.Style & WS_CHILD) != 0 && w.Parent != 0; }

std::vector<HWND>& SiblingList(TWindowRecord& w) {
  auto& sys = System();
  if (w.Parent) {
    if (TWindowRecord* parent = sys.Find(w.Parent)) return parent->Children;
  }
  return sys.TopLevels;
}

void Unlink(TWindowRecord& w) {
  auto& list = SiblingList(w);
  list.erase(std::remove(list.begin(), list.end(), w.Handle), list.end());
}

// Descendants in pre-order (parents before their children).
void CollectDescendants(HWND window, std::vector<HWND>& out) {
  TWindowRecord* w = System().Find(window);
  if (!w) return;
  for (HWND child : w->Children) {
    out.push_back(child);
    CollectDescendants(child, out);
  }
}

bool IsSelfOrDescendant(HWND ancestor, HWND window) {
  auto& sys = System();
  for (HWND h = window; h; ) {
    if (h == ancestor) return true;
    TWindowRecord* w = sys.Find(h);
    if (!w) return false;
    h = w->Parent;
  }
  return false;
}

bool CanTakeFocus(HWND window) { return IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window); }

// Focus leaves a window that is going away, is hidden or disabled: to its top-level window
// when that one can still take it, else to nobody.
void FocusLeaves(HWND window) {
  auto& sys = System();
  if (!sys.Focus || !IsSelfOrDescendant(window, sys.Focus)) return;
  const HWND root = GetRootWindow(window);
  const HWND next = (root != window && CanTakeFocus(root)) ? root : 0;
  const HWND old = sys.Focus;
  sys.Focus = next;
  SendMessage(old, WM_KILLFOCUS, static_cast<WPARAM>(next), 0);
  if (next && sys.Focus == next) SendMessage(next, WM_SETFOCUS, static_cast<WPARAM>(old), 0);
}

// Activation leaves a top-level window that goes away or is hidden: to its owner when that
// one is visible, else to nobody.
void ActivationLeaves(HWND window) {
  auto& sys = System();
  if (sys.Active != window) return;
  const HWND owner = GetWindowOwner(window);
  const HWND next = (owner && IsWindowVisible(owner) && !System().Find(owner)->Destroying) ? owner : 0;
  sys.Active = 0;
  SendMessage(window, WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(next));
  if (next && sys.Active == 0) SetActiveWindow(next);
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out + "\"";
}

int64_t OverlapArea(const TRect& a, const TRect& b) {
  const int64_t w = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
  const int64_t h = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
  return (w > 0 && h > 0) ? w * h : 0;
}

int64_t DistanceSquared(const TRect& a, const TRect& b) {
  const int64_t dx = std::max<int64_t>({0, int64_t(b.Left) - a.Right, int64_t(a.Left) - b.Right});
  const int64_t dy = std::max<int64_t>({0, int64_t(b.Top) - a.Bottom, int64_t(a.Top) - b.Bottom});
  return dx * dx + dy * dy;
}

}  // namespace

// ---- windows --------------------------------------------------------------------------------------

HWND CreateWindowEx(const TWindowCreateParams& params) {
  auto& sys = System();
  const bool child = (params.Style & WS_CHILD) != 0;
  if (child) {
    TWindowRecord* parent = sys.Find(params.Parent);
    if (!parent || parent->Destroying) return 0;
  } else if (params.Parent && !sys.Find(params.Parent)) {
    return 0;
  }
  auto record = std::make_unique<TWindowRecord>();
  TWindowRecord& w = *record;
  w.Handle = sys.AllocateHandle();
  w.ClassName = params.ClassName;
  w.Text = params.Caption;
  w.Style = params.Style & ~WS_VISIBLE;  // shown below, once created
  w.ExStyle = params.ExStyle;
  w.Bounds = TRect::FromBounds(params.X, params.Y, std::max(0, params.Width), std::max(0, params.Height));
  if (child) w.Parent = params.Parent;
  else w.Owner = params.Parent;
  if (params.Proc) w.Proc = std::make_shared<TWindowProc>(params.Proc);
  const HWND handle = w.Handle;
  sys.Windows.emplace(handle, std::move(record));
  if (child) sys.Find(params.Parent)->Children.push_back(handle);
  else sys.TopLevels.push_back(handle);

  TWindowCreateParams copy = params;
  if (SendMessage(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&copy)) == 0) {
    DestroyWindow(handle);
    return 0;
  }
  if (!IsWindow(handle) || SendMessage(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&copy)) == -1) {
    DestroyWindow(handle);
    return 0;
  }
  if (!IsWindow(handle)) return 0;
  // The initial size and place, as a window learns them during its creation.
  const TRect client = GetClientRect(handle);
  SendMessage(handle, WM_SIZE, SIZE_RESTORED, MakeLParam(client.Width(), client.Height()));
  if (IsWindow(handle)) SendMessage(handle, WM_MOVE, 0, MakeLParam(params.X, params.Y));
  if (!IsWindow(handle)) return 0;
  if (params.Style & WS_VISIBLE) ShowWindow(handle, child ? SW_SHOWNA : SW_SHOW);
  return handle;
}

bool DestroyWindow(HWND window) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w || w->Destroying) return false;

  // Owned top-level windows go first, whole.
  std::vector<HWND> owned;
  for (const auto& [handle, record] : sys.Windows)
    if (record->Owner == window && !record->Destroying) owned.push_back(handle);
  for (HWND h : owned) DestroyWindow(h);

  std::vector<HWND> tree{window};
  CollectDescendants(window, tree);
  for (HWND h : tree)
    if (TWindowRecord* r = sys.Find(h)) r->Destroying = true;

  FocusLeaves(window);
  if (sys.Focus && IsSelfOrDescendant(window, sys.Focus)) sys.Focus = 0;  // the root itself is going
  ActivationLeaves(window);

  for (HWND h : tree)
    if (sys.Find(h)) SendMessage(h, WM_DESTROY, 0, 0);
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
    if (!sys.Find(*it)) continue;
    SendMessage(*it, WM_NCDESTROY, 0, 0);
    if (TWindowRecord* r = sys.Find(*it)) {
      Unlink(*r);
      sys.Windows.erase(*it);
    }
  }
  if (sys.Focus == window) sys.Focus = 0;
  if (sys.Active == window) sys.Active = 0;
  return true;
}

bool IsWindow(HWND window) { return window != 0 && System().Find(window) != nullptr; }

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE:
      return 1;
    case WM_SETTEXT:
      w->Text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return 1;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->Text.size());
    case WM_GETTEXT: {
      if (!lParam || wParam == 0) return 0;
      const size_t n = std::min<size_t>(w->Text.size(), wParam - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), w->Text.data(), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_ACTIVATE:
      // An activated window takes the focus unless it is already inside it.
      if ((wParam & 0xFFFF) != WA_INACTIVE && !(sys.Focus && IsSelfOrDescendant(window, sys.Focus)) &&
          CanTakeFocus(window))
        SetFocus(window);
      return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      // System keys travel up so that the top-level window sees them.
      if (IsChildStyle(*w)) return SendMessage(w->Parent, message, wParam, lParam);
      return 0;
    default:
      return 0;
  }
}

TWindowProc SetWindowProc(HWND window, TWindowProc proc) {
  TWindowRecord* w = System().Find(window);
  if (!w) return {};
  TWindowProc old = w->Proc ? *w->Proc : TWindowProc();
  w->Proc = proc ? std::make_shared<TWindowProc>(std::move(proc)) : nullptr;
  return old;
}

TWindowProc GetWindowProc(HWND window) {
  TWindowRecord* w = System().Find(window);
  return (w && w->Proc) ? *w->Proc : TWindowProc();
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWindowRecord* w = System().Find(window);
  if (!w) return 0;
  // A copy of the procedure keeps it alive should the window go away during the call.
  const std::shared_ptr<TWindowProc> proc = w->Proc;
  if (!proc) return DefWindowProc(window, message, wParam, lParam);
  return (*proc)(window, message, wParam, lParam);
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& sys = System();
  // The table belongs to the host's thread; a post from elsewhere is checked at dispatch.
  if (window == 0) return false;
  std::lock_guard<std::mutex> lock(sys.QueueLock);
  sys.Queue.push_back(TMsg{window, message, wParam, lParam});
  return true;
}

// ---- queue ------------------------------------------------------------------------------------------

int32_t AddMessageFilter(TMessageFilter filter) {
  auto& sys = System();
  const int32_t id = sys.NextFilterId++;
  sys.Filters.emplace_back(id, std::make_shared<TMessageFilter>(std::move(filter)));
  return id;
}

void RemoveMessageFilter(int32_t id) {
  auto& filters = System().Filters;
  filters.erase(std::remove_if(filters.begin(), filters.end(), [id](const auto& f) { return f.first == id; }),
                filters.end());
}

bool PeekMessage(TMsg& msg, bool remove) {
  auto& sys = System();
  std::lock_guard<std::mutex> lock(sys.QueueLock);
  if (sys.Queue.empty()) return false;
  msg = sys.Queue.front();
  if (remove) sys.Queue.pop_front();
  return true;
}

LRESULT DispatchMessage(const TMsg& msg) {
  TMsg m = msg;
  const auto filters = System().Filters;  // a filter may add or remove filters
  for (const auto& [id, filter] : filters)
    if ((*filter)(m)) return 0;
  if (!IsWindow(m.Window)) return 0;
  return SendMessage(m.Window, m.Message, m.WParam, m.LParam);
}

bool PumpMessage() {
  TMsg msg;
  if (!PeekMessage(msg, true)) return false;
  DispatchMessage(msg);
  return true;
}

int32_t ProcessMessages(int32_t limit) {
  int32_t count = 0;
  while (count < limit && PumpMessage()) ++count;
  return count;
}

size_t PendingMessageCount() {
  auto& sys = System();
  std::lock_guard<std::mutex> lock(sys.QueueLock);
  return sys.Queue.size();
}

void ClearMessageQueue() {
  auto& sys = System();
  std::lock_guard<std::mutex> lock(sys.QueueLock);
  sys.Queue.clear();
}

TModalIdleHandler SetModalIdleHandler(TModalIdleHandler handler) {
  return std::exchange(System().ModalIdle, std::move(handler));
}

bool RunModalIdle(HWND modalWindow) {
  const TModalIdleHandler handler = System().ModalIdle;  // the handler may replace itself
  return handler ? handler(modalWindow) : false;
}

// ---- tree, texts, styles ----------------------------------------------------------------------------

std::string GetClassName(HWND window) {
  TWindowRecord* w = System().Find(window);
  return w ? w->ClassName : std::string();
}

std::string GetWindowText(HWND window) {
  TWindowRecord* w = System().Find(window);
  return w ? w->Text : std::string();
}

bool SetWindowText(HWND window, const std::string& text) {
  if (!IsWindow(window)) return false;
  SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return true;
}

HWND GetParent(HWND window) {
  TWindowRecord* w = System().Find(window);
  return w ? w->Parent : 0;
}

bool SetParent(HWND window, HWND newParent) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w || w->Destroying) return false;
  if (newParent) {
    TWindowRecord* p = sys.Find(newParent);
    if (!p || p->Destroying || IsSelfOrDescendant(window, newParent)) return false;
  }
  if (w->Parent == newParent) return true;
  Unlink(*w);
  w->Parent = newParent;
  w->Owner = 0;
  if (newParent) {
    sys.Find(newParent)->Children.push_back(window);
    if (sys.Active == window) ActivationLeaves(window);
  } else {
    sys.TopLevels.push_back(window);
  }
  return true;
}

HWND GetWindowOwner(HWND window) {
  TWindowRecord* w = System().Find(window);
  return w ? w->Owner : 0;
}

bool SetWindowOwner(HWND window, HWND owner) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w || w->Parent) return false;
  if (owner && (!sys.Find(owner) || owner == window)) return false;
  w->Owner = owner;
  return true;
}

HWND GetRootWindow(HWND window) {
  auto& sys = System();
  HWND h = window;
  while (TWindowRecord* w = sys.Find(h)) {
    if (!w->Parent) return h;
    h = w->Parent;
  }
  return 0;
}

bool IsChild(HWND parent, HWND window) { return window != parent && parent && IsSelfOrDescendant(parent, window); }

std::vector<HWND> GetChildWindows(HWND parent) {
  TWindowRecord* w = System().Find(parent);
  return w ? w->Children : std::vector<HWND>();
}

std::vector<HWND> GetTopLevelWindows() { return System().TopLevels; }

uint32_t GetWindowStyle(HWND window) {
  TWindowRecord* w = System().Find(window);
  return w ? w->Style : 0;
}

void SetWindowStyle(HWND window, uint32_t style) {
  if (TWindowRecord* w = System().Find(window))
    w->Style = (style & ~(WS_VISIBLE | WS_DISABLED)) | (w->Style & (WS_VISIBLE | WS_DISABLED));
}

uint32_t GetWindowExStyle(HWND window) {
  TWindowRecord* w = System().Find(window);
  return w ? w->ExStyle : 0;
}

void SetWindowExStyle(HWND window, uint32_t exStyle) {
  if (TWindowRecord* w = System().Find(window)) w->ExStyle = exStyle;
}

void SetProp(HWND window, const std::string& name, void* value) {
  if (TWindowRecord* w = System().Find(window)) w->Props[name] = value;
}

void* GetProp(HWND window, const std::string& name) {
  TWindowRecord* w = System().Find(window);
  if (!w) return nullptr;
  auto it = w->Props.find(name);
  return it == w->Props.end() ? nullptr : it->second;
}

void RemoveProp(HWND window, const std::string& name) {
  if (TWindowRecord* w = System().Find(window)) w->Props.erase(name);
}

// ---- visibility, enabling, bounds -------------------------------------------------------------

bool ShowWindow(HWND window, int32_t command) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w) return false;
  const bool wasVisible = (w->Style & WS_VISIBLE) != 0;
  if (command == SW_HIDE) {
    if (!wasVisible) return false;
    w->Style &= ~WS_VISIBLE;
    SendMessage(window, WM_SHOWWINDOW, 0, 0);
    FocusLeaves(window);
    if (sys.Find(window) && !sys.Find(window)->Parent) ActivationLeaves(window);
    return true;
  }
  w->Style |= WS_VISIBLE;
  switch (command) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
      w->Style = (w->Style | WS_MINIMIZE) & ~WS_MAXIMIZE;
      break;
    case SW_SHOWMAXIMIZED:
      w->Style = (w->Style | WS_MAXIMIZE) & ~WS_MINIMIZE;
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      w->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
      break;
    default:
      break;
  }
  const bool isChild = w->Parent != 0;
  if (!wasVisible) SendMessage(window, WM_SHOWWINDOW, 1, 0);
  const bool activate = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && command != SW_MINIMIZE &&
                        command != SW_SHOWMINIMIZED;
  if (!isChild && activate && IsWindow(window) && IsWindowVisible(window)) SetActiveWindow(window);
  return wasVisible;
}

bool IsWindowVisible(HWND window) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w) return false;
  for (; w; w = w->Parent ? sys.Find(w->Parent) : nullptr)
    if (!(w->Style & WS_VISIBLE)) return false;
  return true;
}

bool IsIconic(HWND window) { return (GetWindowStyle(window) & WS_MINIMIZE) != 0; }
bool IsZoomed(HWND window) { return (GetWindowStyle(window) & WS_MAXIMIZE) != 0; }

bool EnableWindow(HWND window, bool enable) {
  TWindowRecord* w = System().Find(window);
  if (!w) return false;
  const bool wasDisabled = (w->Style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) w->Style &= ~WS_DISABLED;
  else w->Style |= WS_DISABLED;
  SendMessage(window, WM_ENABLE, enable ? 1 : 0, 0);
  if (!enable) FocusLeaves(window);
  return wasDisabled;
}

bool IsWindowEnabled(HWND window) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w) return false;
  for (; w; w = w->Parent ? sys.Find(w->Parent) : nullptr)
    if (w->Style & WS_DISABLED) return false;
  return true;
}

TRect GetWindowBounds(HWND window) {
  TWindowRecord* w = System().Find(window);
  return w ? w->Bounds : TRect();
}

bool SetWindowPos(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags) {
  TWindowRecord* w = System().Find(window);
  if (!w) return false;
  const TRect old = w->Bounds;
  const int32_t left = (flags & SWP_NOMOVE) ? old.Left : x;
  const int32_t top = (flags & SWP_NOMOVE) ? old.Top : y;
  const int32_t cw = (flags & SWP_NOSIZE) ? old.Width() : std::max(0, width);
  const int32_t ch = (flags & SWP_NOSIZE) ? old.Height() : std::max(0, height);
  w->Bounds = TRect::FromBounds(left, top, cw, ch);
  const bool moved = left != old.Left || top != old.Top;
  const bool sized = cw != old.Width() || ch != old.Height();
  if (moved) SendMessage(window, WM_MOVE, 0, MakeLParam(left, top));
  if (sized && IsWindow(window)) {
    const TRect client = GetClientRect(window);
    const WPARAM kind = IsIconic(window) ? SIZE_MINIMIZED : IsZoomed(window) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessage(window, WM_SIZE, kind, MakeLParam(client.Width(), client.Height()));
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
  return true;
}

bool MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height) {
  return SetWindowPos(window, x, y, width, height, SWP_NOZORDER);
}

TRect FrameThickness(uint32_t style, uint32_t exStyle) {
  int32_t frame = 0;
  if (style & WS_THICKFRAME) frame = SM_CXSIZEFRAME_PX;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) frame = SM_CXDLGFRAME_PX;
  else if (style & WS_BORDER) frame = SM_CXBORDER_PX;
  if (exStyle & WS_EX_CLIENTEDGE) frame += SM_CXEDGE_PX;
  const int32_t caption = (style & WS_CAPTION) == WS_CAPTION ? SM_CYCAPTION_PX : 0;
  return TRect{frame, frame + caption, frame, frame};
}

TRect GetClientRect(HWND window) {
  TWindowRecord* w = System().Find(window);
  if (!w) return TRect();
  const TRect f = FrameThickness(w->Style, w->ExStyle);
  return TRect{0, 0, std::max(0, w->Bounds.Width() - f.Left - f.Right),
               std::max(0, w->Bounds.Height() - f.Top - f.Bottom)};
}

TPoint ClientToScreen(HWND window, TPoint point) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w) return point;
  const TRect f = FrameThickness(w->Style, w->ExStyle);
  TPoint p{point.X + w->Bounds.Left + f.Left, point.Y + w->Bounds.Top + f.Top};
  return w->Parent ? ClientToScreen(w->Parent, p) : p;
}

TPoint ScreenToClient(HWND window, TPoint point) {
  const TPoint origin = ClientToScreen(window, TPoint{0, 0});
  return TPoint{point.X - origin.X, point.Y - origin.Y};
}

TRect GetWindowRect(HWND window) {
  TWindowRecord* w = System().Find(window);
  if (!w) return TRect();
  if (!w->Parent) return w->Bounds;
  const TPoint origin = ClientToScreen(w->Parent, TPoint{w->Bounds.Left, w->Bounds.Top});
  return TRect::FromBounds(origin.X, origin.Y, w->Bounds.Width(), w->Bounds.Height());
}

// ---- focus, activation, keyboard ------------------------------------------------------------------

HWND SetFocus(HWND window) {
  auto& sys = System();
  const HWND old = sys.Focus;
  if (window == 0) {
    if (!old) return 0;
    sys.Focus = 0;
    SendMessage(old, WM_KILLFOCUS, 0, 0);
    return old;
  }
  if (!CanTakeFocus(window) || sys.Find(window)->Destroying) return 0;
  if (window == old) return old;
  const HWND root = GetRootWindow(window);
  if (sys.Active != root) SetActiveWindow(root);
  if (!CanTakeFocus(window)) return 0;  // the activation changed things
  const HWND previous = sys.Focus;
  if (previous == window) return old;
  sys.Focus = window;
  if (previous) SendMessage(previous, WM_KILLFOCUS, static_cast<WPARAM>(window), 0);
  if (sys.Focus == window) SendMessage(window, WM_SETFOCUS, static_cast<WPARAM>(previous), 0);
  return old;
}

HWND GetFocus() { return System().Focus; }

HWND SetActiveWindow(HWND window) {
  auto& sys = System();
  const HWND old = sys.Active;
  const HWND root = window ? GetRootWindow(window) : 0;
  if (window && (!root || sys.Find(root)->Destroying)) return 0;
  if (root == old) return old;
  // The focus never stays behind in a window that is no longer active.
  if (sys.Focus && old && IsSelfOrDescendant(old, sys.Focus)) {
    const HWND lost = sys.Focus;
    sys.Focus = 0;
    SendMessage(lost, WM_KILLFOCUS, 0, 0);
  }
  sys.Active = root;
  if (old && IsWindow(old)) SendMessage(old, WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(root));
  if (root && sys.Active == root) SendMessage(root, WM_ACTIVATE, WA_ACTIVE, static_cast<LPARAM>(old));
  return old;
}

HWND GetActiveWindow() { return System().Active; }

namespace {
HWND KeyboardTarget() {
  auto& sys = System();
  if (sys.Focus && IsWindow(sys.Focus)) return sys.Focus;
  if (sys.Active && IsWindow(sys.Active)) return sys.Active;
  return 0;
}

HWND QueueKeyboard(UINT message, WPARAM wParam, LPARAM keyData) {
  const HWND target = KeyboardTarget();
  if (target) PostMessage(target, message, wParam, keyData);
  return target;
}

constexpr LPARAM kRelease = (LPARAM(1) << 30) | (LPARAM(1) << 31);
}  // namespace

// Pressing and releasing a key changes the keyboard state at once, whoever gets the message.
HWND KeyDown(uint16_t virtualKey) {
  SetKeyDown(virtualKey, true);
  return QueueKeyboard(WM_KEYDOWN, virtualKey, 1);
}

HWND KeyUp(uint16_t virtualKey) {
  SetKeyDown(virtualKey, false);
  return QueueKeyboard(WM_KEYUP, virtualKey, 1 | kRelease);
}

HWND SysKeyDown(uint16_t virtualKey) {
  SetKeyDown(virtualKey, true);
  return QueueKeyboard(WM_SYSKEYDOWN, virtualKey, 1 | (virtualKey == VK_F10 ? 0 : KF_ALTDOWN_BIT));
}

HWND SysKeyUp(uint16_t virtualKey) {
  SetKeyDown(virtualKey, false);
  return QueueKeyboard(WM_SYSKEYUP, virtualKey, 1 | kRelease | (virtualKey == VK_F10 ? 0 : KF_ALTDOWN_BIT));
}

HWND CharInput(char16_t character) { return QueueKeyboard(WM_CHAR, character, 1); }
HWND SysCharInput(char16_t character) { return QueueKeyboard(WM_SYSCHAR, character, 1 | KF_ALTDOWN_BIT); }

TPoint GetCursorPos() { return System().Cursor; }
void SetCursorPos(TPoint point) { System().Cursor = point; }

// ---- system menu -------------------------------------------------------------------------------------

std::vector<uint32_t> GetSystemMenuCommands(HWND window) {
  TWindowRecord* w = System().Find(window);
  if (!w || (w->Style & WS_CHILD) || !(w->Style & WS_SYSMENU)) return {};
  std::vector<uint32_t> commands{SC_RESTORE, SC_MOVE};
  if (w->Style & WS_THICKFRAME) commands.push_back(SC_SIZE);
  if (w->Style & WS_MINIMIZEBOX) commands.push_back(SC_MINIMIZE);
  if (w->Style & WS_MAXIMIZEBOX) commands.push_back(SC_MAXIMIZE);
  commands.push_back(SC_CLOSE);
  std::erase_if(commands, [w](uint32_t c) { return w->DeletedMenuCommands.count(c) != 0; });
  return commands;
}

bool DeleteSystemMenuCommand(HWND window, uint32_t command) {
  TWindowRecord* w = System().Find(window);
  if (!w) return false;
  const auto present = GetSystemMenuCommands(window);
  if (std::find(present.begin(), present.end(), command) == present.end()) return false;
  w->DeletedMenuCommands.insert(command);
  return true;
}

// ---- monitors -------------------------------------------------------------------------------------------

void SetMonitors(const std::vector<TMonitorInfo>& monitors) {
  auto& sys = System();
  sys.Monitors = monitors.empty() ? TWindowSystem::DefaultMonitors() : monitors;
  // Exactly one primary: the first marked, else the first.
  bool seen = false;
  for (auto& m : sys.Monitors) {
    m.Primary = m.Primary && !seen;
    seen = seen || m.Primary;
  }
  if (!seen) sys.Monitors.front().Primary = true;
}

std::vector<TMonitorInfo> GetMonitors() { return System().Monitors; }

HMONITOR GetPrimaryMonitor() {
  const auto& monitors = System().Monitors;
  for (size_t i = 0; i < monitors.size(); ++i)
    if (monitors[i].Primary) return static_cast<HMONITOR>(i + 1);
  return 1;
}

bool GetMonitorInfo(HMONITOR monitor, TMonitorInfo& info) {
  const auto& monitors = System().Monitors;
  if (monitor < 1 || static_cast<size_t>(monitor) > monitors.size()) return false;
  info = monitors[static_cast<size_t>(monitor) - 1];
  return true;
}

HMONITOR MonitorFromRect(const TRect& rect, uint32_t flags) {
  const auto& monitors = System().Monitors;
  HMONITOR best = 0;
  int64_t bestArea = 0;
  for (size_t i = 0; i < monitors.size(); ++i) {
    const int64_t area = OverlapArea(rect, monitors[i].Monitor);
    if (area > bestArea) {
      bestArea = area;
      best = static_cast<HMONITOR>(i + 1);
    }
  }
  if (best) return best;
  // No shared area (an empty or off-screen rectangle): the closest monitor, where a
  // rectangle that lies inside one or touches it is at distance 0.
  HMONITOR nearest = 0;
  int64_t nearestDistance = std::numeric_limits<int64_t>::max();
  for (size_t i = 0; i < monitors.size(); ++i) {
    const int64_t d = DistanceSquared(rect, monitors[i].Monitor);
    if (d < nearestDistance) {
      nearestDistance = d;
      nearest = static_cast<HMONITOR>(i + 1);
    }
  }
  if (nearestDistance == 0 && rect.IsEmpty()) return nearest;
  switch (flags) {
    case MONITOR_DEFAULTTONEAREST:
      return nearest;
    case MONITOR_DEFAULTTOPRIMARY:
      return GetPrimaryMonitor();
    default:
      return 0;
  }
}

HMONITOR MonitorFromPoint(TPoint point, uint32_t flags) {
  return MonitorFromRect(TRect{point.X, point.Y, point.X, point.Y}, flags);
}

HMONITOR MonitorFromWindow(HWND window, uint32_t flags) {
  if (!IsWindow(window)) {
    if (flags == MONITOR_DEFAULTTONULL) return 0;
    return GetPrimaryMonitor();
  }
  return MonitorFromRect(GetWindowRect(window), flags);
}

// ---- device contexts ----------------------------------------------------------------------------------

HDC CreateDC() {
  auto& sys = System();
  const HDC dc = sys.NextDC++;
  sys.DeviceContexts[dc] = TDeviceContext();
  return dc;
}

bool DeleteDC(HDC dc) { return System().DeviceContexts.erase(dc) != 0; }

namespace {
TDeviceContext* FindDC(HDC dc) {
  auto& map = System().DeviceContexts;
  auto it = map.find(dc);
  return it == map.end() ? nullptr : &it->second;
}
}  // namespace

int32_t SaveDC(HDC dc) {
  TDeviceContext* c = FindDC(dc);
  if (!c) return 0;
  c->Saved.push_back(c->Origin);
  return static_cast<int32_t>(c->Saved.size());
}

bool RestoreDC(HDC dc, int32_t level) {
  TDeviceContext* c = FindDC(dc);
  if (!c) return false;
  const int32_t count = static_cast<int32_t>(c->Saved.size());
  const int32_t target = level < 0 ? count + level + 1 : level;
  if (target < 1 || target > count) return false;
  c->Origin = c->Saved[static_cast<size_t>(target - 1)];
  c->Saved.resize(static_cast<size_t>(target - 1));
  return true;
}

TPoint GetWindowOrg(HDC dc) {
  TDeviceContext* c = FindDC(dc);
  return c ? c->Origin : TPoint();
}

bool SetWindowOrg(HDC dc, TPoint origin) {
  TDeviceContext* c = FindDC(dc);
  if (!c) return false;
  c->Origin = origin;
  return true;
}

bool OffsetWindowOrg(HDC dc, int32_t dx, int32_t dy) {
  TDeviceContext* c = FindDC(dc);
  if (!c) return false;
  c->Origin.X += dx;
  c->Origin.Y += dy;
  return true;
}

// ---- description ---------------------------------------------------------------------------------------

std::string DescribeWindow(HWND window) {
  auto& sys = System();
  TWindowRecord* w = sys.Find(window);
  if (!w) return "#" + std::to_string(window) + " (no window)";
  std::ostringstream out;
  out << '#' << w->Handle << ' ' << (w->ClassName.empty() ? "?" : w->ClassName) << ' ' << Quote(w->Text) << " ("
      << w->Bounds.Left << ',' << w->Bounds.Top << ' ' << w->Bounds.Width() << 'x' << w->Bounds.Height() << ") "
      << ((w->Style & WS_VISIBLE) ? "visible" : "hidden");
  if (w->Style & WS_DISABLED) out << " disabled";
  if (sys.Focus == window) out << " focus";
  if (sys.Active == window) out << " active";
  if (w->Owner) out << " owner=#" << w->Owner;
  return out.str();
}

namespace {
void DescribeInto(HWND window, int depth, std::string& out) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += DescribeWindow(window);
  out += '\n';
  for (HWND child : GetChildWindows(window)) DescribeInto(child, depth + 1, out);
}
}  // namespace

std::string DescribeWindowTree() {
  std::string out;
  for (HWND top : System().TopLevels) DescribeInto(top, 0, out);
  return out;
}

void ResetWindowSystem() {
  auto& sys = System();
  sys.Windows.clear();
  sys.TopLevels.clear();
  sys.Focus = 0;
  sys.Active = 0;
  sys.Cursor = TPoint();
  sys.Monitors = TWindowSystem::DefaultMonitors();
  sys.Filters.clear();
  sys.ModalIdle = nullptr;
  sys.DeviceContexts.clear();
  ClearMessageQueue();
}

}  // namespace tavix::os
