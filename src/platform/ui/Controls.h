// The form library's core over the OS window system: components with owners and names,
// controls with parents, bounds, visibility, enabling, alignment, texts and events, and
// windowed controls whose windows are created on demand and whose window procedure turns
// messages into the control's behaviour (focus, keyboard with child keys and dialog keys,
// mouse, sizing). Headless: nothing is drawn; every control can describe itself as text.
//
// Lifetime: a component is freed by its owner, a control also by its parent. Free components
// with `Free` (or hold them in `TOwned`), so that their teardown runs while the whole object
// still exists; no event is fired into a component that is being destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/automation/AutoTypes.h"
#include "platform/os/Windows.h"

namespace tavix {

using os::HDC;
using os::HWND;
using os::LPARAM;
using os::LRESULT;
using os::TPoint;
using os::TRect;
using os::UINT;
using os::WPARAM;

class TObject;
class TComponent;
class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

// ---- errors ---------------------------------------------------------------------------------------
class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EComponentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// ---- messages of the form library --------------------------------------------------------------
// Exchanged through windows, so the same numbers on every side of the plug-in boundary.
enum : UINT {
  CM_BASE = 0xB000,
  CM_ACTIVATE = CM_BASE + 0,
  CM_DEACTIVATE = CM_BASE + 1,
  CM_DIALOGKEY = CM_BASE + 5,       // wParam key, lParam key data; non-zero answer: taken
  CM_DIALOGCHAR = CM_BASE + 6,
  CM_TEXTCHANGED = CM_BASE + 18,
  CM_SHOWINGCHANGED = CM_BASE + 25,
  CM_WANTSPECIALKEY = CM_BASE + 30,  // wParam key; non-zero answer: the control handles it itself
  CM_RELEASE = CM_BASE + 33,         // 0xB021: free the object behind the window
  CM_CHILDKEY = CM_BASE + 46,        // wParam key, lParam the TWinControl* it was pressed in
};

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// ---- small value types ------------------------------------------------------------------------------
using TShiftState = uint32_t;
enum : TShiftState { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };

// The modifier keys held now (the keyboard state of the OS stand-in).
TShiftState KeyboardShiftState();

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TAnchors = uint32_t;
enum : TAnchors { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// Colours: 0x00BBGGRR, or a system colour (high byte 0xFF, low byte the system index).
using TColor = uint32_t;
constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }
enum : TColor {
  clBlack = 0x000000,
  clWhite = 0xFFFFFF,
  clSilver = 0xC0C0C0,
  clGray = 0x808080,
  clRed = 0x0000FF,
  clGreen = 0x008000,
  clNone = 0x1FFFFFFF,
  clSystemColor = 0xFF000000,
  clWindow = clSystemColor | 5,
  clWindowText = clSystemColor | 8,
  clBtnFace = clSystemColor | 15,
  clGrayText = clSystemColor | 17,
  clBtnText = clSystemColor | 18,
};
// The RGB value of a colour, system colours resolved.
TColor ColorToRGB(TColor color);
std::string ColorToString(TColor color);  // "clBtnFace", "$00C0C0C0"

using TFontStyles = uint32_t;
enum : TFontStyles { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFont {
  std::string Name = "Tahoma";
  int32_t Height = 11;  // character height in pixels
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  // Points at 96 pixels per inch.
  int32_t Size() const { return (Height * 72 + 48) / 96; }
  void SetSize(int32_t points) { Height = (points * 96 + 36) / 72; }
  // Headless text metrics: an average character is 0.55 of the height wide (0.6 when bold).
  int32_t TextWidth(const std::string& text) const;
  int32_t TextHeight() const { return Height + Height / 4; }
  friend bool operator==(const TFont&, const TFont&) = default;
};

// How a grid draws one cell (tree list cells, inspector captions and values); drawing
// events adjust it and hosts read it back.
struct TCellStyle {
  TColor TextColor = clWindowText;
  TColor Background = clWindow;
  bool Bold = false;
  friend bool operator==(const TCellStyle&, const TCellStyle&) = default;
};

// The caption without its accelerator marks: "&&" stays one "&", a lone "&" goes.
std::string StripHotkey(const std::string& caption);

using TNotifyEvent = std::function<void(TObject* sender)>;
using TKeyEvent = std::function<void(TObject* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char16_t& key)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y)>;
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;

// ---- objects and components ---------------------------------------------------------------------------

class TObject {
 public:
  virtual ~TObject() = default;
  // The class name of the dynamic type, without namespaces ("TButton", "THardDeviceViewerForm").
  std::string ClassName() const;
};

enum class TOperation { opInsert, opRemove };

using TComponentState = uint32_t;
enum : TComponentState { csLoading = 1, csDestroying = 2 };

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  // A name is empty or unique (ignoring case) among the owner's components.
  virtual void SetName(const std::string& name);
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
  TComponent* FindComponent(const std::string& name) const;  // ignoring case, direct components

  TComponentState ComponentState() const { return FComponentState; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }
  intptr_t Tag = 0;

  // Asks to be told (Notification with opRemove) when `other` is freed, and back.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // Teardown that needs the whole object: marks it and its owned components destroying.
  // `Free` runs it before deleting; subclasses extend it and call the inherited one first.
  virtual void BeforeDestruction();
  // The component is complete (its constructor and its owner's set-up ran): clears csLoading.
  // Forms made with `NewForm` get it before their OnCreate.
  virtual void Loaded();

 protected:
  virtual void Notification(TComponent* component, TOperation operation);
  void SetComponentState(TComponentState state) { FComponentState = state; }

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::set<TComponent*> FFreeNotifies;
  TComponentState FComponentState = 0;
};

// Frees a component: its whole-object teardown, then the destructor. Null does nothing.
void Free(TComponent* component);

// A unique owner of a component that frees it with `Free`.
struct TComponentDeleter {
  void operator()(TComponent* component) const { Free(component); }
};
template <class T>
using TOwned = std::unique_ptr<T, TComponentDeleter>;

// ---- controls -----------------------------------------------------------------------------------------------

using TControlState = uint32_t;
enum : TControlState { csRecreating = 1, csAligning = 2, csCreatingHandle = 4, csClicked = 8, csFocusing = 16 };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner = nullptr);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);

  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t value) { SetBounds(value, FTop, FWidth, FHeight); }
  void SetTop(int32_t value) { SetBounds(FLeft, value, FWidth, FHeight); }
  void SetWidth(int32_t value) { SetBounds(FLeft, FTop, value, FHeight); }
  void SetHeight(int32_t value) { SetBounds(FLeft, FTop, FWidth, value); }
  // Moves and sizes (negative sizes become 0); realigns the parent, fires OnResize on a size change.
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  TRect BoundsRect() const { return TRect::FromBounds(FLeft, FTop, FWidth, FHeight); }
  virtual int32_t ClientWidth() const { return FWidth; }
  virtual int32_t ClientHeight() const { return FHeight; }
  void SetClientWidth(int32_t value) { SetClientSize(value, ClientHeight()); }
  void SetClientHeight(int32_t value) { SetClientSize(ClientWidth(), value); }
  virtual void SetClientSize(int32_t width, int32_t height);
  TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }
  // Client coordinates of this control to screen coordinates and back.
  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;
  // The top-left of the client area in the parent's client coordinates.
  virtual TPoint ClientOrigin() const;

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible itself and all its parents (and, for a windowed control, having a window).
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool value);
  // Enabled itself and all its parents.
  bool IsEnabledInTree() const;

  // Caption and Text are the same text.
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& value) { SetText(value); }
  const std::string& Text() const { return FText; }
  virtual void SetText(const std::string& value);

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors value) { FAnchors = value; }

  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font) { FFont = font; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }
  bool ShowHint = false;

  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);

  TControlState ControlState() const { return FControlState; }
  void IncludeControlState(TControlState state) { FControlState |= state; }
  void ExcludeControlState(TControlState state) { FControlState &= ~state; }

  // Sends a message to the control's own handling (with or without a window).
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // A programmatic click: OnClick (buttons also pass their modal result to the form).
  virtual void Click();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TContextPopupEvent OnContextPopup;

  // One line: class, name, caption, bounds, states and the control's own properties.
  std::string Describe() const;

  void BeforeDestruction() override;

 protected:
  // Stores new bounds (negative sizes become 0); false when nothing changed. `sized` tells
  // whether the size changed.
  bool StoreBounds(int32_t left, int32_t top, int32_t width, int32_t height, bool& sized);
  friend class TWinControl;
  // The message handling of the control; unknown messages go to DefaultHandler.
  virtual void WndProc(TMessage& message);
  virtual void DefaultHandler(TMessage& message);
  // A user's click (left button pressed and released on the control); by default Click.
  virtual void ClickedByUser() { Click(); }
  virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  // Right-button release: OnContextPopup, then the popup menu at the point.
  virtual void DoContextPopup(TPoint screenPoint);
  virtual void TextChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}
  virtual void Resize();
  // Adds "name=value" or flag texts describing the control's own state.
  virtual void DescribeProperties(std::vector<std::string>& properties) const;
  void Notification(TComponent* component, TOperation operation) override;
  // True when an event may be fired: the control and its parent form are not being destroyed.
  bool CanFireEvents() const;

  int32_t FLeft = 0;
  int32_t FTop = 0;
  int32_t FWidth = 0;
  int32_t FHeight = 0;

 private:
  TWinControl* FParent = nullptr;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FText;
  TAlign FAlign = TAlign::alNone;
  TAnchors FAnchors = akLeft | akTop;
  TColor FColor = clBtnFace;
  TFont FFont;
  std::string FHint;
  TPopupMenu* FPopupMenu = nullptr;
  TControlState FControlState = 0;
};

// The outermost form a control stands in (the control itself when it is that form), or null.
TCustomForm* GetParentForm(const TControl* control);

// What CreateWnd asks for.
struct TCreateParams {
  std::string ClassName;
  std::string Caption;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  HWND WndParent = 0;  // parent of a child window, owner of a top-level one
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner = nullptr);
  ~TWinControl() override;

  // The window, created on demand (with its parents' and its visible children's; a hidden
  // child gets its window when it is shown or asked for it).
  HWND Handle();
  bool HandleAllocated() const { return FHandle != 0; }
  // The window if there is one (never creates it).
  HWND WindowHandle() const { return FHandle; }
  void HandleNeeded() { Handle(); }
  // Destroys the window and the windows of the children; the control stays and makes a new
  // window when one is needed again.
  void DestroyHandle();
  // A new window for the control now (when it has one).
  virtual void RecreateWnd();

  // A foreign window to live in when the control has no parent control (0 for none). Moving
  // between two windows keeps the control's window; to or from none makes a new one.
  HWND ParentWindow() const { return FParentWindow; }
  virtual void SetParentWindow(HWND window);

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }
  // The control's windowed children in tab order.
  std::vector<TWinControl*> TabList() const;
  int32_t TabOrder() const;
  void SetTabOrder(int32_t value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);

  bool CanFocus() const;
  bool Focused() const;
  // Focuses the control; raises EInvalidOperation when it cannot take the focus.
  virtual void SetFocus();
  // The next control after `current` in the tab order of this control's descendants (wrapping
  // around); null when there is none. `checkTabStop` skips controls without a tab stop.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop) const;
  // Focuses the next control; false when none could be found.
  bool SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  // Focuses the first control in tab order whose tab stop is set.
  bool SelectFirst();
  // Every focusable descendant in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& list) const;

  // The client area of a windowed control sits inside its frame.
  int32_t ClientWidth() const override;
  int32_t ClientHeight() const override;
  void SetClientSize(int32_t width, int32_t height) override;
  TPoint ClientOrigin() const override;
  bool Showing() const override;
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  void SetText(const std::string& value) override;
  void SetParent(TWinControl* parent) override;

  // Lays the aligned children out again.
  void Realign();

  bool DoubleBuffered = false;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // The control of this module behind a window (null for foreign windows).
  static TWinControl* FindControl(HWND window);

  // The whole tree of controls under this one, one line each, children indented.
  std::string DescribeTree() const;

  void BeforeDestruction() override;

 protected:
  friend class TControl;
  friend class TCustomForm;
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // The frame widths of the control's window (0 for a control without border).
  virtual TRect FrameThickness() const;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  // The key pipeline of a key-down message; true when something took the key.
  virtual bool DoKeyDown(uint16_t& key, TShiftState shift);
  virtual bool DoKeyPress(char16_t& key);
  virtual bool DoKeyUp(uint16_t& key, TShiftState shift);
  // The control's own key handling after its events (a button clicks on space).
  virtual void KeyDown(uint16_t& key, TShiftState shift);
  virtual void KeyPress(char16_t& key);
  // Sends the message to every child control until one answers non-zero.
  void Broadcast(TMessage& message);
  virtual void AlignControls(TRect rect);
  void DescribeProperties(std::vector<std::string>& properties) const override;

 private:
  friend void DescribeTreeInto(const TControl&, int, std::string&);
  LRESULT MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void CreateHandle();
  bool HandleKeyMessage(TMessage& message);
  void UpdateBoundsFromWindow();
  void AnchorChildren(int32_t oldClientWidth, int32_t oldClientHeight);

  HWND FHandle = 0;
  HWND FParentWindow = 0;
  std::vector<TControl*> FControls;   // in insertion order (z-order)
  std::vector<TWinControl*> FTabList;  // windowed children in tab order
  bool FTabStop = false;
  int32_t FLastClientWidth = -1;
  int32_t FLastClientHeight = -1;
};

// A user's click on a control, through its window when it has one: button down and up at the
// centre; false when the control is not showing or not enabled (nothing happens then).
bool ClickControl(TControl& control);
// A right click at client point (x, y): down, up, then the context popup.
bool RightClickControl(TControl& control, int32_t x, int32_t y);

}  // namespace tavix
