// The window system: handles and the tree, message order, focus and keyboard routing,
// activation, monitors, device contexts and the description of the tree.
#include "platform/os/Windows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavix::os;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Records the messages a window receives ("WM_x@handle" style texts picked by the test).
struct TMessageLog {
  std::vector<std::string> Entries;
  std::vector<UINT> Watched;

  TWindowProc Proc(const std::string& name) {
    return [this, name](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (std::find(Watched.begin(), Watched.end(), m) != Watched.end())
        Entries.push_back(name + ":" + std::to_string(m) + ":" + std::to_string(w));
      return DefWindowProc(h, m, w, l);
    };
  }
};

class WindowSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWindowSystem(); }
  void TearDown() override {
    ReleaseAllKeys();
    ResetWindowSystem();
  }

  static HWND TopLevel(const std::string& caption, TWindowProc proc = {}, uint32_t style = WS_OVERLAPPED,
                       TRect bounds = TRect::FromBounds(10, 10, 300, 200)) {
    TWindowCreateParams p;
    p.ClassName = "TestTop";
    p.Caption = caption;
    p.Style = style;
    p.X = bounds.Left;
    p.Y = bounds.Top;
    p.Width = bounds.Width();
    p.Height = bounds.Height();
    p.Proc = std::move(proc);
    return CreateWindowEx(p);
  }

  static HWND Child(HWND parent, const std::string& caption, TWindowProc proc = {}, int x = 0, int y = 0) {
    TWindowCreateParams p;
    p.ClassName = "TestChild";
    p.Caption = caption;
    p.Style = WS_CHILD | WS_VISIBLE;
    p.X = x;
    p.Y = y;
    p.Width = 50;
    p.Height = 20;
    p.Parent = parent;
    p.Proc = std::move(proc);
    return CreateWindowEx(p);
  }
};

TEST_F(WindowSystemTest, HandlesAreDistinctAndNotReusedAfterDestruction) {
  const HWND a = TopLevel("a");
  const HWND b = TopLevel("b");
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  ASSERT_TRUE(DestroyWindow(a));
  EXPECT_FALSE(IsWindow(a));
  const HWND c = TopLevel("c");
  EXPECT_NE(c, a);
  EXPECT_FALSE(DestroyWindow(a)) << "a destroyed handle is no window any more";
}

TEST_F(WindowSystemTest, ChildWithoutParentAndRefusingWindowsAreNotCreated) {
  TWindowCreateParams orphan;
  orphan.Style = WS_CHILD;
  orphan.Parent = 0;
  EXPECT_EQ(CreateWindowEx(orphan), 0);
  orphan.Parent = 0x7FFF0000;  // no such window
  EXPECT_EQ(CreateWindowEx(orphan), 0);

  const HWND refused = TopLevel("no", [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    return m == WM_CREATE ? -1 : DefWindowProc(h, m, w, l);
  });
  EXPECT_EQ(refused, 0);
  EXPECT_TRUE(GetTopLevelWindows().empty()) << "a refused window leaves nothing behind";
}

TEST_F(WindowSystemTest, DestroyingAParentDestroysChildrenInPlatformOrder) {
  TMessageLog log;
  log.Watched = {WM_DESTROY, WM_NCDESTROY};
  const HWND top = TopLevel("top", log.Proc("top"));
  const HWND child = Child(top, "child", log.Proc("child"));
  const HWND grandchild = Child(child, "grandchild", log.Proc("grand"));
  ASSERT_NE(grandchild, 0);

  ASSERT_TRUE(DestroyWindow(top));
  const std::string d = std::to_string(WM_DESTROY), n = std::to_string(WM_NCDESTROY);
  EXPECT_THAT(log.Entries, ElementsAre("top:" + d + ":0", "child:" + d + ":0", "grand:" + d + ":0",
                                       "grand:" + n + ":0", "child:" + n + ":0", "top:" + n + ":0"));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(WindowSystemTest, OwnedWindowsDieWithTheirOwner) {
  const HWND owner = TopLevel("owner");
  TWindowCreateParams p;
  p.ClassName = "Owned";
  p.Parent = owner;  // a top-level window: the owner
  const HWND owned = CreateWindowEx(p);
  ASSERT_NE(owned, 0);
  EXPECT_EQ(GetWindowOwner(owned), owner);
  EXPECT_EQ(GetParent(owned), 0);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowSystemTest, SetParentRefusesCyclesAndMovesTheWindow) {
  const HWND a = TopLevel("a");
  const HWND b = TopLevel("b");
  const HWND child = Child(a, "child");
  EXPECT_FALSE(SetParent(a, child)) << "a window cannot become its own descendant's child";
  EXPECT_FALSE(SetParent(child, child));
  ASSERT_TRUE(SetParent(child, b));
  EXPECT_EQ(GetParent(child), b);
  EXPECT_THAT(GetChildWindows(b), ElementsAre(child));
  EXPECT_TRUE(GetChildWindows(a).empty());
  EXPECT_TRUE(IsChild(b, child));
  EXPECT_FALSE(IsChild(a, child));
}

TEST_F(WindowSystemTest, SentMessagesRunAtOncePostedOnesInOrderWhenPumped) {
  std::vector<std::string> order;
  const HWND w = TopLevel("w", [&](HWND h, UINT m, WPARAM wp, LPARAM l) -> LRESULT {
    if (m >= WM_USER) order.push_back((m == WM_USER ? "post" : "send") + std::to_string(wp));
    if (m == WM_USER && wp == 1) PostMessage(h, WM_USER, 3, 0);  // posted while handling
    return DefWindowProc(h, m, wp, l);
  });
  PostMessage(w, WM_USER, 1, 0);
  PostMessage(w, WM_USER, 2, 0);
  SendMessage(w, WM_USER + 1, 9, 0);
  EXPECT_THAT(order, ElementsAre("send9"));
  EXPECT_EQ(PendingMessageCount(), 2u);

  EXPECT_EQ(ProcessMessages(), 3);
  EXPECT_THAT(order, ElementsAre("send9", "post1", "post2", "post3"));
  EXPECT_EQ(PendingMessageCount(), 0u);
}

TEST_F(WindowSystemTest, PostedMessagesOfDestroyedWindowsAreDroppedAndFiltersCanTakeMessages) {
  int received = 0;
  TWindowProc counter = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER) ++received;
    return DefWindowProc(h, m, w, l);
  };
  const HWND gone = TopLevel("gone", counter);
  const HWND kept = TopLevel("kept", counter);
  PostMessage(gone, WM_USER, 0, 0);
  PostMessage(kept, WM_USER, 0, 0);
  PostMessage(kept, WM_USER, 7, 0);
  DestroyWindow(gone);
  const int32_t filter = AddMessageFilter([](TMsg& msg) { return msg.WParam == 7; });
  ProcessMessages();
  RemoveMessageFilter(filter);
  EXPECT_EQ(received, 1);
}

TEST_F(WindowSystemTest, FocusMovesWithKillAndSetFocusAndActivatesTheRoot) {
  TMessageLog log;
  log.Watched = {WM_SETFOCUS, WM_KILLFOCUS, WM_ACTIVATE};
  const HWND top = TopLevel("top", log.Proc("top"), WS_OVERLAPPED | WS_VISIBLE);
  const HWND a = Child(top, "a", log.Proc("a"));
  const HWND b = Child(top, "b", log.Proc("b"));
  ASSERT_EQ(GetActiveWindow(), top);
  ASSERT_EQ(GetFocus(), top) << "an activated window takes the focus";
  log.Entries.clear();

  SetFocus(a);
  SetFocus(b);
  EXPECT_EQ(GetFocus(), b);
  const std::string s = std::to_string(WM_SETFOCUS), k = std::to_string(WM_KILLFOCUS);
  EXPECT_THAT(log.Entries, ElementsAre("top:" + k + ":" + std::to_string(a), "a:" + s + ":" + std::to_string(top),
                                       "a:" + k + ":" + std::to_string(b), "b:" + s + ":" + std::to_string(a)));
}

TEST_F(WindowSystemTest, HiddenDisabledOrDestroyedWindowsCannotKeepTheFocus) {
  const HWND top = TopLevel("top", {}, WS_OVERLAPPED | WS_VISIBLE);
  const HWND a = Child(top, "a");
  const HWND b = Child(top, "b");

  EnableWindow(b, false);
  EXPECT_EQ(SetFocus(b), 0);
  EXPECT_NE(GetFocus(), b) << "a disabled window does not take the focus";

  SetFocus(a);
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetFocus(), top) << "hiding the focused window gives the focus back to its top-level window";

  EnableWindow(b, true);
  SetFocus(b);
  DestroyWindow(b);
  EXPECT_EQ(GetFocus(), top);

  ShowWindow(top, SW_HIDE);
  EXPECT_EQ(GetFocus(), 0);
  EXPECT_EQ(GetActiveWindow(), 0);
}

TEST_F(WindowSystemTest, KeyboardInputGoesToTheFocusedWindowThroughTheQueue) {
  std::vector<std::string> keys;
  auto recorder = [&](const std::string& name) -> TWindowProc {
    return [&keys, name](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_KEYDOWN || m == WM_CHAR || m == WM_SYSKEYDOWN)
        keys.push_back(name + "/" + std::to_string(m) + "/" + std::to_string(w) +
                       ((l & KF_ALTDOWN_BIT) ? "/alt" : ""));
      // The child lets system keys travel on to its parent.
      return DefWindowProc(h, m, w, l);
    };
  };
  const HWND top = TopLevel("top", recorder("top"), WS_OVERLAPPED | WS_VISIBLE);
  const HWND edit = Child(top, "edit", recorder("edit"));
  SetFocus(edit);

  EXPECT_EQ(KeyDown('A'), edit);
  EXPECT_EQ(CharInput(u'a'), edit);
  EXPECT_EQ(SysKeyDown('X'), edit);
  EXPECT_TRUE(keys.empty()) << "input waits in the queue for the host's loop";
  ProcessMessages();
  EXPECT_THAT(keys, ElementsAre("edit/256/65", "edit/258/97", "edit/260/88/alt", "top/260/88/alt"));

  DestroyWindow(top);
  EXPECT_EQ(KeyDown('A'), 0) << "with no window to take it, input is dropped";
  EXPECT_EQ(PendingMessageCount(), 0u);
}

TEST_F(WindowSystemTest, PressingAndReleasingKeysChangesTheKeyboardState) {
  KeyDown(VK_CONTROL);
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  KeyUp(VK_CONTROL);
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
  SysKeyDown(VK_MENU);
  EXPECT_LT(GetKeyState(VK_MENU), 0);
}

TEST_F(WindowSystemTest, ActivationNotifiesBothWindows) {
  TMessageLog log;
  log.Watched = {WM_ACTIVATE};
  const HWND one = TopLevel("one", log.Proc("one"), WS_OVERLAPPED | WS_VISIBLE);
  const HWND two = TopLevel("two", log.Proc("two"), WS_OVERLAPPED | WS_VISIBLE);
  EXPECT_EQ(GetActiveWindow(), two);
  log.Entries.clear();
  const HWND child = Child(one, "child");
  SetFocus(child);  // activates the root first
  EXPECT_EQ(GetActiveWindow(), one);
  const std::string a = std::to_string(WM_ACTIVATE);
  EXPECT_THAT(log.Entries, ElementsAre("two:" + a + ":0", "one:" + a + ":1"));
  EXPECT_EQ(GetFocus(), child);
}

TEST_F(WindowSystemTest, BoundsClientAreaAndScreenCoordinates) {
  const HWND top = TopLevel("top", {}, WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME, TRect::FromBounds(100, 50, 400, 300));
  const TRect client = GetClientRect(top);
  EXPECT_EQ(client.Width(), 400 - 2 * SM_CXSIZEFRAME_PX);
  EXPECT_EQ(client.Height(), 300 - 2 * SM_CXSIZEFRAME_PX - SM_CYCAPTION_PX);
  const HWND child = Child(top, "child", {}, 10, 20);
  const TRect screen = GetWindowRect(child);
  EXPECT_EQ(screen.Left, 100 + SM_CXSIZEFRAME_PX + 10);
  EXPECT_EQ(screen.Top, 50 + SM_CXSIZEFRAME_PX + SM_CYCAPTION_PX + 20);
  EXPECT_EQ(ScreenToClient(child, TPoint{screen.Left + 3, screen.Top + 4}), (TPoint{3, 4}));
}

TEST_F(WindowSystemTest, SizeAndMoveMessagesCarryTheNewValuesOnlyOnChange) {
  std::vector<std::string> seen;
  const HWND w = TopLevel("w", [&](HWND h, UINT m, WPARAM wp, LPARAM l) -> LRESULT {
    if (m == WM_SIZE) seen.push_back("size " + std::to_string(LoWordSigned(l)) + "x" + std::to_string(HiWordSigned(l)));
    if (m == WM_MOVE) seen.push_back("move " + std::to_string(LoWordSigned(l)) + "," + std::to_string(HiWordSigned(l)));
    return DefWindowProc(h, m, wp, l);
  });
  SetWindowPos(w, -5, 7, 120, 80);
  SetWindowPos(w, -5, 7, 120, 80);
  SetWindowPos(w, 0, 0, 60, 40, SWP_NOMOVE);
  EXPECT_THAT(seen, ElementsAre("size 300x200", "move 10,10", "move -5,7", "size 120x80", "size 60x40"));
}

TEST_F(WindowSystemTest, MonitorNearestAWindow) {
  SetMonitors({{TRect{0, 0, 1920, 1080}, TRect{0, 0, 1920, 1040}, true},
               {TRect{-1280, 0, 0, 1024}, TRect{-1280, 0, 0, 1000}, false}});
  struct Case {
    TRect Bounds;
    uint32_t Flags;
    HMONITOR Expected;
  } cases[] = {
      {TRect::FromBounds(100, 100, 300, 200), MONITOR_DEFAULTTONEAREST, 1},
      {TRect::FromBounds(-900, 100, 300, 200), MONITOR_DEFAULTTONEAREST, 2},
      {TRect::FromBounds(-200, 100, 300, 200), MONITOR_DEFAULTTONEAREST, 2},  // more area on the second
      {TRect::FromBounds(-100, 100, 300, 200), MONITOR_DEFAULTTONEAREST, 1},
      {TRect::FromBounds(-3000, 100, 300, 200), MONITOR_DEFAULTTONEAREST, 2},  // off-screen left
      {TRect::FromBounds(-3000, 100, 300, 200), MONITOR_DEFAULTTOPRIMARY, 1},
      {TRect::FromBounds(-3000, 100, 300, 200), MONITOR_DEFAULTTONULL, 0},
  };
  for (const Case& c : cases) {
    const HWND w = TopLevel("w", {}, WS_OVERLAPPED, c.Bounds);
    EXPECT_EQ(MonitorFromWindow(w, c.Flags), c.Expected) << c.Bounds.Left << " flags " << c.Flags;
    DestroyWindow(w);
  }
  TMonitorInfo info;
  ASSERT_TRUE(GetMonitorInfo(2, info));
  EXPECT_EQ(info.WorkArea.Bottom, 1000);
  EXPECT_FALSE(GetMonitorInfo(3, info));
  EXPECT_EQ(MonitorFromWindow(0, MONITOR_DEFAULTTONEAREST), GetPrimaryMonitor());
}

TEST_F(WindowSystemTest, DeviceContextOriginsSaveAndRestore) {
  const HDC dc = CreateDC();
  ASSERT_NE(dc, 0);
  EXPECT_EQ(SaveDC(dc), 1);
  OffsetWindowOrg(dc, 10, 20);
  EXPECT_EQ(SaveDC(dc), 2);
  OffsetWindowOrg(dc, 1, 1);
  EXPECT_EQ(GetWindowOrg(dc), (TPoint{11, 21}));
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetWindowOrg(dc), (TPoint{10, 20}));
  EXPECT_TRUE(RestoreDC(dc, 1));
  EXPECT_EQ(GetWindowOrg(dc), (TPoint{0, 0}));
  EXPECT_FALSE(RestoreDC(dc, 1)) << "nothing left to restore";
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(SaveDC(dc), 0);
}

TEST_F(WindowSystemTest, SystemMenuFollowsTheStyle) {
  const HWND dialog = TopLevel("d", {}, WS_POPUP | WS_CAPTION | WS_SYSMENU);
  const HWND sizeable = TopLevel("s", {}, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX);
  EXPECT_THAT(GetSystemMenuCommands(dialog), ElementsAre(SC_RESTORE, SC_MOVE, SC_CLOSE));
  EXPECT_THAT(GetSystemMenuCommands(sizeable), ElementsAre(SC_RESTORE, SC_MOVE, SC_SIZE, SC_MAXIMIZE, SC_CLOSE));
  EXPECT_TRUE(DeleteSystemMenuCommand(sizeable, SC_SIZE));
  EXPECT_FALSE(DeleteSystemMenuCommand(dialog, SC_SIZE));
  EXPECT_THAT(GetSystemMenuCommands(sizeable), ElementsAre(SC_RESTORE, SC_MOVE, SC_MAXIMIZE, SC_CLOSE));
}

TEST_F(WindowSystemTest, TreeDescriptionShowsHandlesClassesCaptionsBoundsAndStates) {
  const HWND top = TopLevel("Main \"Window\"", {}, WS_OVERLAPPED | WS_VISIBLE, TRect::FromBounds(5, 6, 300, 200));
  const HWND child = Child(top, "Child", {}, 10, 20);
  const HWND hidden = Child(top, "Hidden");
  ShowWindow(hidden, SW_HIDE);
  EnableWindow(hidden, false);
  SetFocus(child);
  const std::string h = std::to_string(top), c = std::to_string(child), d = std::to_string(hidden);
  EXPECT_EQ(DescribeWindowTree(), "#" + h + " TestTop \"Main \\\"Window\\\"\" (5,6 300x200) visible active\n" +
                                      "  #" + c + " TestChild \"Child\" (10,20 50x20) visible focus\n" +
                                      "  #" + d + " TestChild \"Hidden\" (0,0 50x20) hidden disabled\n");
  EXPECT_THAT(DescribeWindow(12345), HasSubstr("no window"));
}

TEST_F(WindowSystemTest, WindowTextGoesThroughTheProcedure) {
  std::string seen;
  const HWND w = TopLevel("old", [&](HWND h, UINT m, WPARAM wp, LPARAM l) -> LRESULT {
    if (m == WM_SETTEXT) seen = reinterpret_cast<const char*>(l);
    return DefWindowProc(h, m, wp, l);
  });
  SetWindowText(w, "new");
  EXPECT_EQ(seen, "new");
  EXPECT_EQ(GetWindowText(w), "new");
  char buffer[3];
  EXPECT_EQ(SendMessage(w, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_STREQ(buffer, "ne") << "the copy is cut to the buffer, with its terminator";
}

TEST_F(WindowSystemTest, ModalIdleHandlerActsForTheUserUntilRemoved) {
  int calls = 0;
  SetModalIdleHandler([&](HWND) { return ++calls < 3; });
  EXPECT_TRUE(RunModalIdle(0));
  EXPECT_TRUE(RunModalIdle(0));
  EXPECT_FALSE(RunModalIdle(0));
  SetModalIdleHandler(nullptr);
  EXPECT_FALSE(RunModalIdle(0));
}

}  // namespace
