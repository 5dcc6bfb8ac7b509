// The window manager of the operating-system stand-in: windows with integer handles, a
// parent/child tree and owners, bounds, texts, styles, visibility, enabled state, focus and
// activation, one window procedure per window, sent and posted messages with one message
// queue that the host's loop pumps, monitors with their work areas, keyboard input routed to
// the focused window, a small device-context model (origins and a save stack, no pixels) and
// a text dump of the whole tree.
//
// One copy serves the process: a host panel's handle can be the parent of a module form.
// Everything runs on the host's thread except PostMessage, which may be called from any
// thread. Message numbers and flags are the platform's.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/os/Keyboard.h"
#include "platform/os/Shell.h"
#include "platform/os/TavixOS.h"

namespace tavix::os {

using HWND = int32_t;      // 0 is "no window"; a live handle is never handed out twice
using HMONITOR = int32_t;  // 1-based index into the monitor list; 0 is "none"
using HDC = int32_t;       // 0 is "no device context"
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  static TRect FromBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    return {left, top, left + width, top + height};
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// ---- messages ---------------------------------------------------------------------------------
enum : UINT {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_SETTEXT = 0x000C,
  WM_GETTEXT = 0x000D,
  WM_GETTEXTLENGTH = 0x000E,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_ERASEBKGND = 0x0014,
  WM_SHOWWINDOW = 0x0018,
  WM_HELP = 0x0053,
  WM_CONTEXTMENU = 0x007B,
  WM_NCCREATE = 0x0081,
  WM_NCDESTROY = 0x0082,
  WM_GETDLGCODE = 0x0087,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  WM_SYSCHAR = 0x0106,
  WM_SYSCOMMAND = 0x0112,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_USER = 0x0400,
};

// WM_ACTIVATE's low word.
enum : WPARAM { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// WM_GETDLGCODE answers.
enum : LRESULT {
  DLGC_WANTARROWS = 0x0001,
  DLGC_WANTTAB = 0x0002,
  DLGC_WANTALLKEYS = 0x0004,
  DLGC_WANTMESSAGE = 0x0004,
  DLGC_HASSETSEL = 0x0008,
  DLGC_WANTCHARS = 0x0080,
};

// WM_SIZE's wParam.
enum : WPARAM { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// The help request of WM_HELP; lParam points at it for the duration of the call.
enum : int32_t { HELPINFO_WINDOW = 1, HELPINFO_MENUITEM = 2 };
struct HELPINFO {
  uint32_t cbSize = sizeof(HELPINFO);
  int32_t iContextType = HELPINFO_WINDOW;
  int32_t iCtrlId = 0;
  HWND hItemHandle = 0;
  uintptr_t dwContextId = 0;
  TPoint MousePos;
};

// Packing of two 16-bit values into a message parameter, as WM_SIZE and WM_MOVE carry them.
constexpr LPARAM MakeLParam(int32_t low, int32_t high) {
  return static_cast<LPARAM>((static_cast<uint32_t>(low) & 0xFFFFu) | ((static_cast<uint32_t>(high) & 0xFFFFu) << 16));
}
constexpr int32_t LoWordSigned(LPARAM value) { return static_cast<int16_t>(static_cast<uint32_t>(value) & 0xFFFFu); }
constexpr int32_t HiWordSigned(LPARAM value) { return static_cast<int16_t>((static_cast<uint32_t>(value) >> 16) & 0xFFFFu); }

// Key data (lParam of key messages): repeat count in the low word, bit 29 set while Alt is
// held, bit 30 when the key was already down, bit 31 on release.
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;

// ---- styles -----------------------------------------------------------------------------------
enum : uint32_t {
  WS_OVERLAPPED = 0x00000000,
  WS_POPUP = 0x80000000,
  WS_CHILD = 0x40000000,
  WS_MINIMIZE = 0x20000000,
  WS_VISIBLE = 0x10000000,
  WS_DISABLED = 0x08000000,
  WS_CLIPSIBLINGS = 0x04000000,
  WS_CLIPCHILDREN = 0x02000000,
  WS_MAXIMIZE = 0x01000000,
  WS_CAPTION = 0x00C00000,  // WS_BORDER | WS_DLGFRAME
  WS_BORDER = 0x00800000,
  WS_DLGFRAME = 0x00400000,
  WS_VSCROLL = 0x00200000,
  WS_HSCROLL = 0x00100000,
  WS_SYSMENU = 0x00080000,
  WS_THICKFRAME = 0x00040000,
  WS_MINIMIZEBOX = 0x00020000,
  WS_MAXIMIZEBOX = 0x00010000,
  WS_TABSTOP = 0x00010000,  // on child windows
  WS_GROUP = 0x00020000,    // on child windows
};

enum : uint32_t {
  WS_EX_DLGMODALFRAME = 0x00000001,
  WS_EX_TOPMOST = 0x00000008,
  WS_EX_TRANSPARENT = 0x00000020,
  WS_EX_TOOLWINDOW = 0x00000080,
  WS_EX_WINDOWEDGE = 0x00000100,
  WS_EX_CLIENTEDGE = 0x00000200,
  WS_EX_CONTROLPARENT = 0x00010000,
  WS_EX_APPWINDOW = 0x00040000,
};

// Frame metrics of the stand-in (pixels): they decide how a window's client area sits inside
// its bounds. A thick frame is 4 on each side, a dialog frame 3, a plain border 1, a client
// edge 2 more; a caption (WS_CAPTION) adds 22 at the top.
enum : int32_t {
  SM_CXSIZEFRAME_PX = 4,
  SM_CXDLGFRAME_PX = 3,
  SM_CXBORDER_PX = 1,
  SM_CXEDGE_PX = 2,
  SM_CYCAPTION_PX = 22,
};

// ShowWindow commands (SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED and SW_SHOWMAXIMIZED are the
// shell's, Shell.h).
enum : int32_t {
  SW_SHOWNOACTIVATE = 4,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_SHOWNA = 8,
  SW_RESTORE = 9,
};

// SetWindowPos flags.
enum : uint32_t {
  SWP_NOSIZE = 0x0001,
  SWP_NOMOVE = 0x0002,
  SWP_NOZORDER = 0x0004,
  SWP_NOACTIVATE = 0x0010,
  SWP_SHOWWINDOW = 0x0040,
  SWP_HIDEWINDOW = 0x0080,
};

// System-menu commands.
enum : uint32_t {
  SC_SIZE = 0xF000,
  SC_MOVE = 0xF010,
  SC_MINIMIZE = 0xF020,
  SC_MAXIMIZE = 0xF030,
  SC_CLOSE = 0xF060,
  SC_RESTORE = 0xF120,
};

// MonitorFrom... fallbacks.
enum : uint32_t { MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1, MONITOR_DEFAULTTONEAREST = 2 };

// Virtual keys used by the module and its tests (the modifier keys are the keyboard's,
// Keyboard.h).
enum : uint16_t {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_F1 = 0x70,
  VK_F2 = 0x71,
  VK_F3 = 0x72,
  VK_F4 = 0x73,
  VK_F5 = 0x74,
  VK_F6 = 0x75,
  VK_F7 = 0x76,
  VK_F8 = 0x77,
  VK_F9 = 0x78,
  VK_F10 = 0x79,
  VK_F11 = 0x7A,
  VK_F12 = 0x7B,
};

// ---- windows ----------------------------------------------------------------------------------

// A window procedure. It receives every sent and dispatched message of its window and
// answers what DefWindowProc answers for messages it does not handle itself.
using TWindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct TWindowCreateParams {
  std::string ClassName;  // free text naming the kind of window ("TPanel", "HostFrame", ...)
  std::string Caption;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  // Bounds: relative to the parent's client area for a child (WS_CHILD), screen coordinates
  // for a top-level window.
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  // The parent of a child window; the owner of a top-level window (0 for none).
  HWND Parent = 0;
  TWindowProc Proc;  // empty: DefWindowProc only
};

// Creates a window: WM_NCCREATE (a zero answer refuses creation), WM_CREATE (-1 refuses),
// WM_SIZE and WM_MOVE with its initial bounds, then shows it when WS_VISIBLE is set. Returns 0 when the parent is not a window or the
// window refused; a child without a parent is refused too.
TAVIX_OS_API HWND CreateWindowEx(const TWindowCreateParams& params);
// Destroys the window and its children (and the top-level windows it owns): WM_DESTROY to the
// window, then to its descendants; WM_NCDESTROY to the descendants first, then to the window.
// Focus and activation held inside leave first. False for a handle that is no window.
TAVIX_OS_API bool DestroyWindow(HWND window);
TAVIX_OS_API bool IsWindow(HWND window);

// The default handling: WM_SETTEXT stores the text, WM_GETTEXTLENGTH answers its length,
// WM_CLOSE destroys the window, WM_ERASEBKGND answers 1, WM_NCCREATE answers 1; a system key
// the window does not handle travels to its parent (so the top-level window sees it);
// everything else answers 0.
TAVIX_OS_API LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Replaces the window procedure and returns the previous one (subclassing).
TAVIX_OS_API TWindowProc SetWindowProc(HWND window, TWindowProc proc);
TAVIX_OS_API TWindowProc GetWindowProc(HWND window);

// Calls the window procedure now and answers its result; 0 for a handle that is no window.
TAVIX_OS_API LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a message for the window; false for a handle that is no window. May be called from
// any thread. A message whose window is gone by the time it is dispatched is dropped.
TAVIX_OS_API bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- the message queue --------------------------------------------------------------------------
struct TMsg {
  HWND Window = 0;
  UINT Message = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
};

// Hooks the host's loop runs over each message before it is dispatched; a hook that answers
// true has handled the message and it is not dispatched. Returns an id for removal.
using TMessageFilter = std::function<bool(TMsg&)>;
TAVIX_OS_API int32_t AddMessageFilter(TMessageFilter filter);
TAVIX_OS_API void RemoveMessageFilter(int32_t id);

// Takes the oldest queued message off the queue; false when the queue is empty.
TAVIX_OS_API bool PeekMessage(TMsg& msg, bool remove = true);
// Runs the filters and, unless one took it, sends the message to its window's procedure.
TAVIX_OS_API LRESULT DispatchMessage(const TMsg& msg);
// One turn of the host's loop: takes one message and dispatches it; false when there was none.
TAVIX_OS_API bool PumpMessage();
// Runs the queue until it is empty, including what the dispatched messages post in turn
// (bounded so a window that re-posts forever cannot hang the caller). Answers the number
// of messages handled.
TAVIX_OS_API int32_t ProcessMessages(int32_t limit = 100000);
TAVIX_OS_API size_t PendingMessageCount();
// Drops every queued message (a host shutting down, a test starting clean).
TAVIX_OS_API void ClearMessageQueue();

// A modal loop (a form shown modally, a message box) that has run out of messages asks this
// handler to act as the user would; the handler answers false when it has nothing to do, and
// the loop then ends as if the user had cancelled. Hosts and tests install it. Returns the
// previous handler.
using TModalIdleHandler = std::function<bool(HWND modalWindow)>;
TAVIX_OS_API TModalIdleHandler SetModalIdleHandler(TModalIdleHandler handler);
TAVIX_OS_API bool RunModalIdle(HWND modalWindow);

// ---- tree, texts, styles ----------------------------------------------------------------------
TAVIX_OS_API std::string GetClassName(HWND window);
TAVIX_OS_API std::string GetWindowText(HWND window);
TAVIX_OS_API bool SetWindowText(HWND window, const std::string& text);  // sends WM_SETTEXT

// The parent of a child window (0 for a top-level window).
TAVIX_OS_API HWND GetParent(HWND window);
// Moves a window under a new parent (0 makes it top-level, keeping no owner); false when the
// window or the new parent is no window or the new parent is the window itself or one of its
// descendants. The window keeps its bounds, now relative to the new parent; the caller sets
// WS_CHILD to match.
TAVIX_OS_API bool SetParent(HWND window, HWND newParent);
TAVIX_OS_API HWND GetWindowOwner(HWND window);
TAVIX_OS_API bool SetWindowOwner(HWND window, HWND owner);
// The top-level window the window belongs to (itself when top-level).
TAVIX_OS_API HWND GetRootWindow(HWND window);
TAVIX_OS_API bool IsChild(HWND parent, HWND window);  // any depth
// Children in z-order (first created first) and top-level windows likewise.
TAVIX_OS_API std::vector<HWND> GetChildWindows(HWND parent);
TAVIX_OS_API std::vector<HWND> GetTopLevelWindows();

TAVIX_OS_API uint32_t GetWindowStyle(HWND window);
TAVIX_OS_API void SetWindowStyle(HWND window, uint32_t style);  // visibility and enabling stay as they are
TAVIX_OS_API uint32_t GetWindowExStyle(HWND window);
TAVIX_OS_API void SetWindowExStyle(HWND window, uint32_t exStyle);

// Named properties: each user of the window system finds its own objects behind handles.
TAVIX_OS_API void SetProp(HWND window, const std::string& name, void* value);
TAVIX_OS_API void* GetProp(HWND window, const std::string& name);
TAVIX_OS_API void RemoveProp(HWND window, const std::string& name);

// ---- visibility, enabling, bounds ------------------------------------------------------------
// Shows or hides (WM_SHOWWINDOW); answers whether it was visible before. Showing a top-level
// window activates it unless the command says otherwise.
TAVIX_OS_API bool ShowWindow(HWND window, int32_t command);
// Visible itself and every parent up to its top-level window.
TAVIX_OS_API bool IsWindowVisible(HWND window);
TAVIX_OS_API bool IsIconic(HWND window);
TAVIX_OS_API bool IsZoomed(HWND window);
// Enables or disables (WM_ENABLE); answers whether it was disabled before. A disabled window
// loses the focus it holds.
TAVIX_OS_API bool EnableWindow(HWND window, bool enable);
// Enabled itself and every parent up to its top-level window.
TAVIX_OS_API bool IsWindowEnabled(HWND window);

// Bounds relative to the parent's client area (screen coordinates for top-level windows).
TAVIX_OS_API TRect GetWindowBounds(HWND window);
// Moves and sizes: WM_MOVE when the position changed, WM_SIZE (client width and height) when
// the size changed. Negative sizes become 0.
TAVIX_OS_API bool SetWindowPos(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags = 0);
TAVIX_OS_API bool MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height);
// The window's rectangle in screen coordinates.
TAVIX_OS_API TRect GetWindowRect(HWND window);
// The client area: (0, 0, client width, client height), the frame taken off.
TAVIX_OS_API TRect GetClientRect(HWND window);
// The frame widths a style gives (left, top, right, bottom thickness), see the metrics above.
TAVIX_OS_API TRect FrameThickness(uint32_t style, uint32_t exStyle);
TAVIX_OS_API TPoint ClientToScreen(HWND window, TPoint point);
TAVIX_OS_API TPoint ScreenToClient(HWND window, TPoint point);

// ---- focus, activation, keyboard --------------------------------------------------------------
// Gives the keyboard focus to a window that is visible and enabled (0 takes it away from every
// window): WM_KILLFOCUS to the old, WM_SETFOCUS to the new, its top-level window activated
// first. Answers the previous focus window, or 0 and no change when the window cannot take it.
TAVIX_OS_API HWND SetFocus(HWND window);
TAVIX_OS_API HWND GetFocus();
// Activates a top-level window (the root of the given one): WM_ACTIVATE (WA_INACTIVE, new)
// to the old, WM_ACTIVATE (WA_ACTIVE, old) to the new. Answers the previous active window.
TAVIX_OS_API HWND SetActiveWindow(HWND window);
TAVIX_OS_API HWND GetActiveWindow();

// Keyboard input as the keyboard produces it: the key's state (Keyboard.h) changes at once and
// the message is queued for the window with the focus (the active window when no window has
// it); answers that window, or 0 when no window takes input (the message is then dropped). The
// key-data word carries the repeat count 1 and, for system keys, the Alt bit.
TAVIX_OS_API HWND KeyDown(uint16_t virtualKey);
TAVIX_OS_API HWND KeyUp(uint16_t virtualKey);
TAVIX_OS_API HWND SysKeyDown(uint16_t virtualKey);  // a key pressed with Alt held, or F10
TAVIX_OS_API HWND SysKeyUp(uint16_t virtualKey);
TAVIX_OS_API HWND CharInput(char16_t character);
TAVIX_OS_API HWND SysCharInput(char16_t character);

// The mouse cursor's screen position (what a popup menu "at the cursor" uses).
TAVIX_OS_API TPoint GetCursorPos();
TAVIX_OS_API void SetCursorPos(TPoint point);

// ---- system menu ------------------------------------------------------------------------------
// The commands of the window's system menu: a window with WS_SYSMENU has restore, move, size
// (with a thick frame), minimize and maximize (with their boxes) and close.
TAVIX_OS_API std::vector<uint32_t> GetSystemMenuCommands(HWND window);
TAVIX_OS_API bool DeleteSystemMenuCommand(HWND window, uint32_t command);

// ---- monitors ---------------------------------------------------------------------------------
struct TMonitorInfo {
  TRect Monitor;    // the monitor's rectangle in virtual-screen coordinates
  TRect WorkArea;   // the part not taken by task bars
  bool Primary = false;
};

// Replaces the monitor list (the first Primary one is the primary monitor; with none marked
// the first is). An empty list restores the default: one 1920 x 1080 primary monitor at the
// origin with a 1920 x 1040 work area.
TAVIX_OS_API void SetMonitors(const std::vector<TMonitorInfo>& monitors);
TAVIX_OS_API std::vector<TMonitorInfo> GetMonitors();
TAVIX_OS_API HMONITOR GetPrimaryMonitor();
TAVIX_OS_API bool GetMonitorInfo(HMONITOR monitor, TMonitorInfo& info);
// The monitor that shares the largest area with the rectangle; when none does, the nearest one
// (fallback NEAREST), the primary (PRIMARY) or none (NULL).
TAVIX_OS_API HMONITOR MonitorFromRect(const TRect& rect, uint32_t flags);
TAVIX_OS_API HMONITOR MonitorFromPoint(TPoint point, uint32_t flags);
// By the window's screen rectangle; a handle that is no window gets the fallback's answer.
TAVIX_OS_API HMONITOR MonitorFromWindow(HWND window, uint32_t flags);

// ---- device contexts ----------------------------------------------------------------------------
// A device context here has no pixels: it carries a window origin and a stack of saved
// states, which is what code that paints into a shared context must respect.
TAVIX_OS_API HDC CreateDC();
TAVIX_OS_API bool DeleteDC(HDC dc);
// Pushes the state and answers its level (1, 2, ...); 0 for no context.
TAVIX_OS_API int32_t SaveDC(HDC dc);
// Pops back to a level (a negative level counts back from the top).
TAVIX_OS_API bool RestoreDC(HDC dc, int32_t level);
TAVIX_OS_API TPoint GetWindowOrg(HDC dc);
TAVIX_OS_API bool SetWindowOrg(HDC dc, TPoint origin);
TAVIX_OS_API bool OffsetWindowOrg(HDC dc, int32_t dx, int32_t dy);

// ---- description --------------------------------------------------------------------------------
// One line per window, children indented under their parent, top-level windows in creation
// order: handle, class, caption, bounds, then "visible"/"hidden", "disabled", "focus",
// "active" and the owner where they apply. For a host to show and for tests to read.
TAVIX_OS_API std::string DescribeWindowTree();
TAVIX_OS_API std::string DescribeWindow(HWND window);

// Destroys every window, empties the queue and resets monitors, focus and cursor: a clean
// slate for tests and for a host that shuts down.
TAVIX_OS_API void ResetWindowSystem();

}  // namespace tavix::os
