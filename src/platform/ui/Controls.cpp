#include "platform/ui/Controls.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"

namespace tavix {

// ---- helpers -------------------------------------------------------------------------------------

TShiftState KeyboardShiftState() {
  TShiftState shift = 0;
  if (os::GetKeyState(os::VK_SHIFT) < 0) shift |= ssShift;
  if (os::GetKeyState(os::VK_CONTROL) < 0) shift |= ssCtrl;
  if (os::GetKeyState(os::VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

TColor ColorToRGB(TColor color) {
  if ((color & 0xFF000000u) != clSystemColor) return color & 0x00FFFFFFu;
  switch (color) {
    case clWindow:
      return RGB(255, 255, 255);
    case clWindowText:
    case clBtnText:
      return RGB(0, 0, 0);
    case clBtnFace:
      return RGB(240, 240, 240);
    case clGrayText:
      return RGB(109, 109, 109);
    default:
      return RGB(0, 0, 0);
  }
}

std::string ColorToString(TColor color) {
  switch (color) {
    case clWindow:
      return "clWindow";
    case clWindowText:
      return "clWindowText";
    case clBtnFace:
      return "clBtnFace";
    case clGrayText:
      return "clGrayText";
    case clBtnText:
      return "clBtnText";
    case clNone:
      return "clNone";
    default: {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
      return buffer;
    }
  }
}

int32_t TFont::TextWidth(const std::string& text) const {
  // Count characters, not bytes, of the UTF-8 text.
  int32_t chars = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++chars;
  const int32_t per100 = (Style & fsBold) ? 60 : 55;
  return (chars * Height * per100 + 50) / 100;
}

std::string StripHotkey(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

namespace {

std::string QuoteText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out + "\"";
}

// The window property under which this copy of the library finds its controls: each module
// has its own copy, and a control object of another copy must not be taken for one of ours.
const std::string& ControlPropName() {
  static const std::string name = [] {
    static int anchor;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "TavixControl:%p", static_cast<void*>(&anchor));
    return std::string(buffer);
  }();
  return name;
}

TShiftState MouseShift(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & 0x0001) shift |= ssLeft;
  if (keys & 0x0002) shift |= ssRight;
  if (keys & 0x0004) shift |= ssShift;
  if (keys & 0x0008) shift |= ssCtrl;
  if (keys & 0x0010) shift |= ssMiddle;
  return shift;
}

}  // namespace

// ---- TObject, TComponent ---------------------------------------------------------------------------

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && demangled) ? demangled : mangled;
  std::free(demangled);
  const size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

TComponent::TComponent(TComponent* owner) {
  FComponentState = csLoading;
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  FComponentState |= csDestroying;
  const auto notifies = FFreeNotifies;
  FFreeNotifies.clear();
  for (TComponent* other : notifies) {
    other->FFreeNotifies.erase(this);
    other->Notification(this, TOperation::opRemove);
  }
  while (!FComponents.empty()) Free(FComponents.back());
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (!name.empty() && FOwner) {
    const TComponent* existing = FOwner->FindComponent(name);
    if (existing && existing != this)
      throw EComponentError("A component named " + name + " already exists");
  }
  FName = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  FFreeNotifies.insert(other);
  other->FFreeNotifies.insert(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  FFreeNotifies.erase(other);
  other->FFreeNotifies.erase(this);
}

void TComponent::BeforeDestruction() {
  FComponentState |= csDestroying;
  for (TComponent* c : FComponents)
    if (!c->IsDestroying()) c->TComponent::BeforeDestruction();
}

void TComponent::Loaded() { FComponentState &= ~csLoading; }

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::InsertComponent(TComponent* component) {
  component->FOwner = this;
  FComponents.push_back(component);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Notification(component, TOperation::opRemove);
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
  component->FOwner = nullptr;
}

void Free(TComponent* component) {
  if (!component) return;
  // The component goes even when its teardown fails; the failure is raised afterwards.
  std::exception_ptr failure;
  try {
    component->BeforeDestruction();
  } catch (...) {
    failure = std::current_exception();
  }
  delete component;
  if (failure) std::rethrow_exception(failure);
}

// ---- TControl ------------------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  SetComponentState(ComponentState() | csDestroying);
  if (FParent) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() { TComponent::BeforeDestruction(); }

bool TControl::CanFireEvents() const {
  if (IsDestroying()) return false;
  const TCustomForm* form = GetParentForm(this);
  return !(form && form->IsDestroying());
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  for (TWinControl* p = parent; p; p = p->Parent())
    if (p == this) throw EInvalidOperation("A control cannot be placed inside itself");
  if (FParent) {
    TWinControl* old = FParent;
    old->RemoveControl(this);
    old->Realign();
  }
  if (parent) {
    parent->InsertControl(this);
    parent->Realign();
  }
}

bool TControl::StoreBounds(int32_t left, int32_t top, int32_t width, int32_t height, bool& sized) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return false;
  sized = width != FWidth || height != FHeight;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  return true;
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  bool sized = false;
  if (!StoreBounds(left, top, width, height, sized)) return;
  if (FParent && FAlign != TAlign::alNone && !(FParent->ControlState() & csAligning)) FParent->Realign();
  if (sized) Resize();
}

void TControl::SetClientSize(int32_t width, int32_t height) {
  SetBounds(FLeft, FTop, width + (FWidth - ClientWidth()), height + (FHeight - ClientHeight()));
}

TPoint TControl::ClientOrigin() const {
  if (!FParent) return TPoint{FLeft, FTop};
  const TPoint p = FParent->ClientOrigin();
  return TPoint{p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint point) const {
  const TPoint o = ClientOrigin();
  return TPoint{point.X + o.X, point.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint point) const {
  const TPoint o = ClientOrigin();
  return TPoint{point.X - o.X, point.Y - o.Y};
}

void TControl::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  VisibleChanged();
  if (FParent) FParent->Realign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  EnabledChanged();
}

bool TControl::IsEnabledInTree() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

void TControl::SetText(const std::string& value) {
  if (value == FText) return;
  FText = value;
  TextChanged();
}

void TControl::SetAlign(TAlign value) {
  if (value == FAlign) return;
  FAlign = value;
  if (FParent) FParent->Realign();
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (FPopupMenu) RemoveFreeNotification(FPopupMenu);
  FPopupMenu = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::Click() {
  if (OnClick && CanFireEvents()) OnClick(this);
}

void TControl::Resize() {
  if (OnResize && CanFireEvents()) OnResize(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (OnMouseDown && CanFireEvents()) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (OnMouseUp && CanFireEvents()) OnMouseUp(this, button, shift, x, y);
}

void TControl::DoContextPopup(TPoint screenPoint) {
  bool handled = false;
  if (OnContextPopup && CanFireEvents()) OnContextPopup(this, ScreenToClient(screenPoint), handled);
  if (handled || !FPopupMenu || !FPopupMenu->AutoPopup) return;
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(screenPoint.X, screenPoint.Y);
}

void TControl::WndProc(TMessage& message) {
  const int32_t x = os::LoWordSigned(message.LParam);
  const int32_t y = os::HiWordSigned(message.LParam);
  switch (message.Msg) {
    case os::WM_LBUTTONDOWN:
      IncludeControlState(csClicked);
      MouseDown(TMouseButton::mbLeft, MouseShift(message.WParam), x, y);
      return;
    case os::WM_LBUTTONUP: {
      const bool clicked = (ControlState() & csClicked) != 0;
      ExcludeControlState(csClicked);
      MouseUp(TMouseButton::mbLeft, MouseShift(message.WParam), x, y);
      if (clicked && !IsDestroying()) ClickedByUser();
      return;
    }
    case os::WM_LBUTTONDBLCLK:
      if (OnDblClick && CanFireEvents()) OnDblClick(this);
      return;
    case os::WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, MouseShift(message.WParam), x, y);
      return;
    case os::WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, MouseShift(message.WParam), x, y);
      if (!IsDestroying()) DoContextPopup(ClientToScreen(TPoint{x, y}));
      return;
    case os::WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, MouseShift(message.WParam), x, y);
      return;
    case os::WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, MouseShift(message.WParam), x, y);
      return;
    default:
      DefaultHandler(message);
  }
}

void TControl::DefaultHandler(TMessage& message) { message.Result = 0; }

void TControl::DescribeProperties(std::vector<std::string>&) const {}

std::string TControl::Describe() const {
  std::string line = ClassName();
  if (!Name().empty()) line += " " + Name();
  if (!FText.empty()) line += " " + QuoteText(FText);
  line += " (" + std::to_string(FLeft) + "," + std::to_string(FTop) + " " + std::to_string(FWidth) + "x" +
          std::to_string(FHeight) + ")";
  line += FVisible ? " visible" : " hidden";
  if (!FEnabled) line += " disabled";
  if (FAlign != TAlign::alNone) {
    static const char* names[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
    line += std::string(" align=") + names[static_cast<int>(FAlign)];
  }
  std::vector<std::string> properties;
  DescribeProperties(properties);
  for (const std::string& p : properties) line += " " + p;
  return line;
}

TCustomForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  const TControl* top = control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(top));
}

// ---- TWinControl -----------------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  SetComponentState(ComponentState() | csDestroying);
  DestroyHandle();
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    Free(child);  // a child removes itself from the list
  }
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  for (TControl* child : FControls) child->TComponent::BeforeDestruction();
  DestroyHandle();
}

HWND TWinControl::Handle() {
  if (!FHandle) {
    if (Parent() && !Parent()->HandleAllocated()) Parent()->HandleNeeded();  // makes ours too
    if (!FHandle) CreateHandle();
  }
  return FHandle;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  IncludeControlState(csCreatingHandle);
  try {
    CreateWnd();
  } catch (...) {
    ExcludeControlState(csCreatingHandle);
    throw;
  }
  ExcludeControlState(csCreatingHandle);
  // Windows of hidden children come when they are shown (or asked for).
  for (TControl* child : std::vector<TControl*>(FControls))
    if (auto* win = dynamic_cast<TWinControl*>(child); win && win->Visible()) win->CreateHandle();
  FLastClientWidth = ClientWidth();
  FLastClientHeight = ClientHeight();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.ClassName = ClassName();
  params.Caption = Text();
  params.Style = os::WS_CHILD | os::WS_CLIPSIBLINGS;
  if (Visible()) params.Style |= os::WS_VISIBLE;
  if (!Enabled()) params.Style |= os::WS_DISABLED;
  if (FTabStop) params.Style |= os::WS_TABSTOP;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  params.WndParent = Parent() ? Parent()->Handle() : FParentWindow;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & os::WS_CHILD) && !params.WndParent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  os::TWindowCreateParams create;
  create.ClassName = params.ClassName;
  create.Caption = params.Caption;
  create.Style = params.Style;
  create.ExStyle = params.ExStyle;
  create.X = params.X;
  create.Y = params.Y;
  create.Width = params.Width;
  create.Height = params.Height;
  create.Parent = params.WndParent;
  create.Proc = [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return MainWndProc(window, msg, wParam, lParam);
  };
  if (!os::CreateWindowEx(create)) {
    FHandle = 0;
    throw EInvalidOperation("Error creating window of '" + Name() + "'");
  }
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* child : std::vector<TControl*>(FControls))
    if (auto* win = dynamic_cast<TWinControl*>(child)) win->DestroyHandle();
  if (FHandle) DestroyWnd();
}

void TWinControl::DestroyWnd() {
  const HWND handle = FHandle;
  if (handle) os::DestroyWindow(handle);
  FHandle = 0;  // also cleared by WM_NCDESTROY
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  IncludeControlState(csRecreating);
  DestroyHandle();
  ExcludeControlState(csRecreating);
  HandleNeeded();
}

void TWinControl::SetParentWindow(HWND window) {
  if (Parent() || window == FParentWindow) return;
  if (FParentWindow && window && FHandle) {
    FParentWindow = window;
    os::SetParent(FHandle, window);
    return;
  }
  DestroyHandle();
  FParentWindow = window;
}

TRect TWinControl::FrameThickness() const {
  if (!FHandle) return TRect();
  return os::FrameThickness(os::GetWindowStyle(FHandle), os::GetWindowExStyle(FHandle));
}

int32_t TWinControl::ClientWidth() const {
  if (FHandle) return os::GetClientRect(FHandle).Width();
  const TRect f = FrameThickness();
  return std::max(0, FWidth - f.Left - f.Right);
}

int32_t TWinControl::ClientHeight() const {
  if (FHandle) return os::GetClientRect(FHandle).Height();
  const TRect f = FrameThickness();
  return std::max(0, FHeight - f.Top - f.Bottom);
}

void TWinControl::SetClientSize(int32_t width, int32_t height) {
  const TRect f = FrameThickness();
  SetBounds(FLeft, FTop, width + f.Left + f.Right, height + f.Top + f.Bottom);
}

TPoint TWinControl::ClientOrigin() const {
  if (FHandle) return os::ClientToScreen(FHandle, TPoint{0, 0});
  const TRect f = FrameThickness();
  const TPoint p = TControl::ClientOrigin();
  return TPoint{p.X + f.Left, p.Y + f.Top};
}

bool TWinControl::Showing() const { return Visible() && FHandle && os::IsWindowVisible(FHandle); }

void TWinControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  bool sized = false;
  if (!StoreBounds(left, top, width, height, sized)) return;
  if (FHandle) {
    // The window's WM_SIZE does the rest (anchors, alignment, OnResize).
    os::SetWindowPos(FHandle, FLeft, FTop, FWidth, FHeight, os::SWP_NOZORDER | os::SWP_NOACTIVATE);
  } else if (sized) {
    AnchorChildren(FLastClientWidth, FLastClientHeight);
    Realign();
    Resize();
  }
  if (Parent() && Align() != TAlign::alNone && !(Parent()->ControlState() & csAligning)) Parent()->Realign();
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!FHandle) return;
  const TRect r = os::GetWindowBounds(FHandle);
  FLeft = r.Left;
  FTop = r.Top;
  FWidth = r.Width();
  FHeight = r.Height();
}

void TWinControl::AnchorChildren(int32_t oldClientWidth, int32_t oldClientHeight) {
  const int32_t newWidth = ClientWidth();
  const int32_t newHeight = ClientHeight();
  if (oldClientWidth >= 0 && oldClientHeight >= 0) {
    const int32_t dx = newWidth - oldClientWidth;
    const int32_t dy = newHeight - oldClientHeight;
    if (dx || dy) {
      for (TControl* c : std::vector<TControl*>(FControls)) {
        if (c->Align() != TAlign::alNone) continue;
        const TAnchors a = c->Anchors();
        int32_t left = c->Left(), top = c->Top(), width = c->Width(), height = c->Height();
        if (a & akRight) {
          if (a & akLeft) width += dx;
          else left += dx;
        }
        if (a & akBottom) {
          if (a & akTop) height += dy;
          else top += dy;
        }
        c->SetBounds(left, top, width, height);
      }
    }
  }
  FLastClientWidth = newWidth;
  FLastClientHeight = newHeight;
}

void TWinControl::SetVisible(bool value) {
  if (value == Visible()) return;
  TControl::SetVisible(value);
  if (FHandle) os::ShowWindow(FHandle, value ? int32_t(os::SW_SHOWNA) : int32_t(os::SW_HIDE));
  else if (value && Parent() && Parent()->HandleAllocated() && !IsDestroying()) HandleNeeded();
}

void TWinControl::SetEnabled(bool value) {
  if (value == Enabled()) return;
  TControl::SetEnabled(value);
  if (FHandle) os::EnableWindow(FHandle, value);
}

void TWinControl::SetText(const std::string& value) {
  if (value == Text()) return;
  if (FHandle) os::SetWindowText(FHandle, value);  // WM_SETTEXT brings it back here
  else TControl::SetText(value);
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (!parent) {
    // Taken out: the window goes; a new one comes with a new parent.
    DestroyHandle();
    TControl::SetParent(nullptr);
    return;
  }
  if (FHandle) {
    if (parent->HandleAllocated()) {
      TControl::SetParent(parent);
      os::SetWindowStyle(FHandle, os::GetWindowStyle(FHandle) | os::WS_CHILD);
      os::SetParent(FHandle, parent->Handle());
      return;
    }
    DestroyHandle();
  }
  TControl::SetParent(parent);
  if (parent->HandleAllocated() && Visible() && !IsDestroying()) HandleNeeded();
}

void TWinControl::InsertControl(TControl* control) {
  control->FParent = this;
  FControls.push_back(control);
  if (auto* win = dynamic_cast<TWinControl*>(control)) FTabList.push_back(win);
}

void TWinControl::RemoveControl(TControl* control) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
  FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), control), FTabList.end());
  control->FParent = nullptr;
  if (TCustomForm* form = GetParentForm(this)) {
    // A control that leaves the form cannot stay its active control.
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
      for (TWinControl* a = form->ActiveControl(); a; a = a->Parent())
        if (a == win) {
          form->SetFocusedControl(nullptr);
          break;
        }
    }
  }
}

std::vector<TWinControl*> TWinControl::TabList() const { return FTabList; }

int32_t TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->FTabList;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int32_t>(it - list.begin());
}

void TWinControl::SetTabOrder(int32_t value) {
  if (!Parent()) return;
  auto& list = Parent()->FTabList;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  const size_t index = std::clamp<int64_t>(value, 0, static_cast<int64_t>(list.size()));
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), this);
}

void TWinControl::SetTabStop(bool value) {
  FTabStop = value;
  if (FHandle) {
    const uint32_t style = os::GetWindowStyle(FHandle);
    os::SetWindowStyle(FHandle, value ? style | os::WS_TABSTOP : style & ~os::WS_TABSTOP);
  }
}

bool TWinControl::CanFocus() const {
  const TControl* top = this;
  for (const TControl* c = this; c; c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
    top = c;
  }
  const auto* topWin = static_cast<const TWinControl*>(top);
  if (topWin->FParentWindow && !(os::IsWindowVisible(topWin->FParentWindow) && os::IsWindowEnabled(topWin->FParentWindow)))
    return false;
  return true;
}

bool TWinControl::Focused() const { return FHandle && os::GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (TCustomForm* form = GetParentForm(this); form && form != this && !form->Showing()) {
    form->SetActiveControl(this);  // takes effect when the form shows
    return;
  }
  os::SetFocus(Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int64_t count = static_cast<int64_t>(list.size());
  int64_t start = std::find(list.begin(), list.end(), current) - list.begin();
  if (start == count) start = goForward ? count - 1 : 0;
  int64_t i = start;
  do {
    i = goForward ? (i + 1) % count : (i - 1 + count) % count;
    TWinControl* candidate = list[static_cast<size_t>(i)];
    if (candidate != current && candidate->CanFocus() && (!checkTabStop || candidate->TabStop())) return candidate;
  } while (i != start);
  return nullptr;
}

bool TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, goForward, checkTabStop);
  if (!next) return false;
  next->SetFocus();
  return true;
}

bool TWinControl::SelectFirst() { return SelectNext(nullptr, true, true); }

void TWinControl::Realign() {
  if (ControlState() & csAligning) return;
  IncludeControlState(csAligning);
  try {
    AlignControls(ClientRect());
  } catch (...) {
    ExcludeControlState(csAligning);
    throw;
  }
  ExcludeControlState(csAligning);
}

void TWinControl::AlignControls(TRect rect) {
  auto aligned = [this](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
      if (c->Align() == align && c->Visible()) list.push_back(c);
    auto key = [align](const TControl* c) {
      switch (align) {
        case TAlign::alTop:
          return c->Top();
        case TAlign::alBottom:
          return -(c->Top() + c->Height());
        case TAlign::alLeft:
          return c->Left();
        case TAlign::alRight:
          return -(c->Left() + c->Width());
        default:
          return 0;
      }
    };
    std::stable_sort(list.begin(), list.end(), [&](const TControl* a, const TControl* b) { return key(a) < key(b); });
    return list;
  };
  for (TControl* c : aligned(TAlign::alTop)) {
    c->SetBounds(rect.Left, rect.Top, std::max(0, rect.Width()), c->Height());
    rect.Top += c->Height();
  }
  for (TControl* c : aligned(TAlign::alBottom)) {
    c->SetBounds(rect.Left, rect.Bottom - c->Height(), std::max(0, rect.Width()), c->Height());
    rect.Bottom -= c->Height();
  }
  for (TControl* c : aligned(TAlign::alLeft)) {
    c->SetBounds(rect.Left, rect.Top, c->Width(), std::max(0, rect.Height()));
    rect.Left += c->Width();
  }
  for (TControl* c : aligned(TAlign::alRight)) {
    c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), std::max(0, rect.Height()));
    rect.Right -= c->Width();
  }
  for (TControl* c : aligned(TAlign::alClient))
    c->SetBounds(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    c->WndProc(message);
    if (message.Result != 0) return;
  }
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  return static_cast<TWinControl*>(os::GetProp(window, ControlPropName()));
}

LRESULT TWinControl::MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == os::WM_NCCREATE) {
    FHandle = window;
    os::SetProp(window, ControlPropName(), this);
  }
  TMessage message{msg, wParam, lParam, 0};
  try {
    WndProc(message);
  } catch (...) {
    // Nothing escapes into the window system: the application's handler gets it.
    Application().HandleException(std::current_exception());
    message.Result = (msg == os::WM_NCCREATE) ? 1 : 0;
  }
  if (msg == os::WM_NCDESTROY && FHandle == window) {
    os::RemoveProp(window, ControlPropName());
    FHandle = 0;
  }
  return message.Result;
}

void TWinControl::DefaultHandler(TMessage& message) {
  message.Result = FHandle ? os::DefWindowProc(FHandle, message.Msg, message.WParam, message.LParam) : 0;
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case os::WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
      DefaultHandler(message);
      return;
    case os::WM_SIZE: {
      UpdateBoundsFromWindow();
      AnchorChildren(FLastClientWidth, FLastClientHeight);
      Realign();
      Resize();
      DefaultHandler(message);
      return;
    }
    case os::WM_MOVE:
      UpdateBoundsFromWindow();
      DefaultHandler(message);
      return;
    case os::WM_SETTEXT: {
      DefaultHandler(message);
      const std::string text = message.LParam ? reinterpret_cast<const char*>(message.LParam) : "";
      if (text != Text()) TControl::SetText(text);
      return;
    }
    case os::WM_KEYDOWN:
    case os::WM_SYSKEYDOWN:
    case os::WM_KEYUP:
    case os::WM_SYSKEYUP:
    case os::WM_CHAR:
      if (!HandleKeyMessage(message)) DefaultHandler(message);
      return;
    case os::WM_LBUTTONDOWN:
      if (FTabStop && CanFocus() && !Focused()) SetFocus();
      TControl::WndProc(message);
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      Broadcast(message);
      return;
    case CM_CHILDKEY:
      message.Result = Parent() ? Parent()->Perform(CM_CHILDKEY, message.WParam, message.LParam) : 0;
      return;
    case CM_WANTSPECIALKEY:
      message.Result = 0;
      return;
    default:
      TControl::WndProc(message);
  }
}

bool TWinControl::HandleKeyMessage(TMessage& message) {
  TShiftState shift = KeyboardShiftState();
  if (message.LParam & os::KF_ALTDOWN_BIT) shift |= ssAlt;
  switch (message.Msg) {
    case os::WM_KEYDOWN:
    case os::WM_SYSKEYDOWN: {
      uint16_t key = static_cast<uint16_t>(message.WParam);
      // The form side sees every key first (help keys and the like).
      if (Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0) return true;
      if (IsDestroying()) return true;
      TCustomForm* form = GetParentForm(this);
      if (form && form != this && form->KeyPreview && form->DoKeyDown(key, shift)) return true;
      if (message.Msg == os::WM_KEYDOWN && !(shift & ssAlt)) {
        LRESULT mask = 0;
        switch (key) {
          case os::VK_TAB:
            mask = os::DLGC_WANTTAB;
            break;
          case os::VK_LEFT:
          case os::VK_RIGHT:
          case os::VK_UP:
          case os::VK_DOWN:
            mask = os::DLGC_WANTARROWS;
            break;
          case os::VK_RETURN:
          case os::VK_ESCAPE:
            mask = os::DLGC_WANTALLKEYS;
            break;
          default:
            break;
        }
        if (mask && Perform(CM_WANTSPECIALKEY, key, 0) == 0 && (Perform(os::WM_GETDLGCODE, 0, 0) & mask) == 0 && form &&
            form->Perform(CM_DIALOGKEY, key, message.LParam) != 0)
          return true;
      }
      return DoKeyDown(key, shift);
    }
    case os::WM_KEYUP:
    case os::WM_SYSKEYUP: {
      uint16_t key = static_cast<uint16_t>(message.WParam);
      return DoKeyUp(key, shift);
    }
    case os::WM_CHAR: {
      char16_t key = static_cast<char16_t>(message.WParam);
      return DoKeyPress(key);
    }
    default:
      return false;
  }
}

bool TWinControl::DoKeyDown(uint16_t& key, TShiftState shift) {
  if (OnKeyDown && CanFireEvents()) OnKeyDown(this, key, shift);
  if (key == 0) return true;
  KeyDown(key, shift);
  return key == 0;
}

bool TWinControl::DoKeyUp(uint16_t& key, TShiftState shift) {
  if (OnKeyUp && CanFireEvents()) OnKeyUp(this, key, shift);
  return key == 0;
}

bool TWinControl::DoKeyPress(char16_t& key) {
  if (OnKeyPress && CanFireEvents()) OnKeyPress(this, key);
  if (key == 0) return true;
  KeyPress(key);
  return key == 0;
}

void TWinControl::KeyDown(uint16_t&, TShiftState) {}
void TWinControl::KeyPress(char16_t&) {}

void TWinControl::DescribeProperties(std::vector<std::string>& properties) const {
  if (FHandle) properties.push_back("#" + std::to_string(FHandle));
  if (FTabStop) properties.push_back("tabstop");
  if (Focused()) properties.push_back("focused");
}

void DescribeTreeInto(const TControl& control, int depth, std::string& out) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += control.Describe();
  out += '\n';
  if (const auto* win = dynamic_cast<const TWinControl*>(&control))
    for (const TControl* child : win->FControls) DescribeTreeInto(*child, depth + 1, out);
}

std::string TWinControl::DescribeTree() const {
  std::string out;
  DescribeTreeInto(*this, 0, out);
  return out;
}

// ---- user input ---------------------------------------------------------------------------------------------

namespace {
LRESULT SendToControl(TControl& control, UINT msg, WPARAM wParam, int32_t x, int32_t y) {
  const LPARAM point = os::MakeLParam(x, y);
  if (auto* win = dynamic_cast<TWinControl*>(&control); win && win->HandleAllocated())
    return os::SendMessage(win->Handle(), msg, wParam, point);
  return control.Perform(msg, wParam, point);
}
}  // namespace

bool ClickControl(TControl& control) {
  if (!control.Showing() || !control.IsEnabledInTree()) return false;
  const int32_t x = control.Width() / 2, y = control.Height() / 2;
  SendToControl(control, os::WM_LBUTTONDOWN, 0x0001, x, y);
  SendToControl(control, os::WM_LBUTTONUP, 0, x, y);
  return true;
}

bool RightClickControl(TControl& control, int32_t x, int32_t y) {
  if (!control.Showing() || !control.IsEnabledInTree()) return false;
  os::SetCursorPos(control.ClientToScreen(TPoint{x, y}));
  SendToControl(control, os::WM_RBUTTONDOWN, 0x0002, x, y);
  SendToControl(control, os::WM_RBUTTONUP, 0, x, y);
  return true;
}

}  // namespace tavix
