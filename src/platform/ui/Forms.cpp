#include "platform/ui/Forms.h"

#include <algorithm>
#include <cstdio>

namespace tavix {

namespace {
// A modal loop whose idle handler keeps answering "busy" without ever closing the form ends
// after this many idle turns in a row, as if the user had cancelled.
constexpr int kModalIdleTurnsWithoutProgress = 10000;
}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  TControl::SetVisible(false);
  FLeft = 0;
  FTop = 0;
  FWidth = 320;
  FHeight = 240;
  FFormState = fsCreating;
}

TCustomForm::~TCustomForm() = default;

void TCustomForm::AfterConstruction() {
  FFormState &= ~fsCreating;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
  if (!FDestroyAnnounced) {
    FDestroyAnnounced = true;
    if (OnDestroy) OnDestroy(this);
  }
  TComponent::BeforeDestruction();
  if (HandleAllocated()) os::ShowWindow(WindowHandle(), os::SW_HIDE);
  TWinControl::BeforeDestruction();
}

void TCustomForm::BorderStyleBits(uint32_t& style, uint32_t& exStyle) const {
  style = 0;
  exStyle = 0;
  const uint32_t captioned = os::WS_CAPTION | os::WS_SYSMENU;
  switch (FBorderStyle) {
    case TFormBorderStyle::bsNone:
      break;
    case TFormBorderStyle::bsSingle:
      style = captioned | os::WS_MINIMIZEBOX | os::WS_MAXIMIZEBOX;
      break;
    case TFormBorderStyle::bsSizeable:
      style = captioned | os::WS_MINIMIZEBOX | os::WS_MAXIMIZEBOX | os::WS_THICKFRAME;
      break;
    case TFormBorderStyle::bsDialog:
      style = captioned;
      exStyle = os::WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::bsToolWindow:
      style = captioned;
      exStyle = os::WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      style = captioned | os::WS_THICKFRAME;
      exStyle = os::WS_EX_TOOLWINDOW;
      break;
  }
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style &= ~(os::WS_CHILD | os::WS_VISIBLE | os::WS_TABSTOP | os::WS_CLIPSIBLINGS);
  uint32_t style = 0, exStyle = 0;
  BorderStyleBits(style, exStyle);
  params.Style |= style;
  params.ExStyle |= exStyle;
  if (Parent()) {
    params.Style |= os::WS_CHILD | os::WS_CLIPSIBLINGS;
  } else if (ParentWindow()) {
    params.Style |= os::WS_CHILD | os::WS_CLIPSIBLINGS;
    params.WndParent = ParentWindow();
  } else {
    if (FBorderStyle == TFormBorderStyle::bsNone || FBorderStyle == TFormBorderStyle::bsDialog)
      params.Style |= os::WS_POPUP;
    params.WndParent = 0;
  }
}

TRect TCustomForm::FrameThickness() const {
  if (HandleAllocated()) return TWinControl::FrameThickness();
  uint32_t style = 0, exStyle = 0;
  BorderStyleBits(style, exStyle);
  return os::FrameThickness(style, exStyle);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TCustomForm::RecreateWnd() {
  const bool shown = Showing();
  TWinControl::RecreateWnd();
  if (shown && HandleAllocated()) os::ShowWindow(WindowHandle(), ShowCommand());
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == FWindowState) return;
  FWindowState = value;
  if (Showing()) os::ShowWindow(WindowHandle(), ShowCommand());
}

int32_t TCustomForm::ShowCommand() const {
  switch (FWindowState) {
    case TWindowState::wsMinimized:
      return os::SW_SHOWMINIMIZED;
    case TWindowState::wsMaximized:
      return os::SW_SHOWMAXIMIZED;
    default:
      return os::SW_SHOWNORMAL;
  }
}

bool TCustomForm::Showing() const {
  return Visible() && HandleAllocated() && (os::GetWindowStyle(WindowHandle()) & os::WS_VISIBLE) != 0;
}

void TCustomForm::SetVisible(bool value) {
  if (value) {
    if (Visible() && Showing()) return;
    TControl::SetVisible(true);
    HandleNeeded();
    ShowingChanged(true);
  } else {
    const bool wasShowing = Showing();
    if (!Visible() && !wasShowing) return;
    TControl::SetVisible(false);
    if (wasShowing) ShowingChanged(false);
  }
}

void TCustomForm::ShowingChanged(bool show) {
  if (show) {
    if (!(FFormState & fsFirstShown)) {
      FFormState |= fsFirstShown;
      PlaceByPosition();
    }
    DoShow();
    if (Visible() && HandleAllocated()) os::ShowWindow(WindowHandle(), ShowCommand());
  } else {
    DoHide();
    if (HandleAllocated()) os::ShowWindow(WindowHandle(), os::SW_HIDE);
  }
}

void TCustomForm::PlaceByPosition() {
  if (Parent() || ParentWindow()) return;
  TRect area;
  switch (FPosition) {
    case TPosition::poScreenCenter: {
      os::TMonitorInfo info;
      os::GetMonitorInfo(os::GetPrimaryMonitor(), info);
      area = info.Monitor;
      break;
    }
    case TPosition::poDesktopCenter: {
      const auto monitors = os::GetMonitors();
      area = monitors.front().Monitor;
      for (const auto& m : monitors) {
        area.Left = std::min(area.Left, m.Monitor.Left);
        area.Top = std::min(area.Top, m.Monitor.Top);
        area.Right = std::max(area.Right, m.Monitor.Right);
        area.Bottom = std::max(area.Bottom, m.Monitor.Bottom);
      }
      break;
    }
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
      const HWND owner = HandleAllocated() ? os::GetWindowOwner(WindowHandle()) : 0;
      if (owner) {
        area = os::GetWindowRect(owner);
      } else {
        os::TMonitorInfo info;
        os::GetMonitorInfo(os::GetPrimaryMonitor(), info);
        area = info.Monitor;
      }
      break;
    }
    default:
      return;
  }
  SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::DoShow() {
  if (OnShow && CanFireEvents()) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide && CanFireEvents()) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose && CanFireEvents()) OnClose(this, action);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated() && !Parent() && !ParentWindow() && FWindowState != TWindowState::wsMinimized)
    os::SetActiveWindow(WindowHandle());
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || (FFormState & fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  FFormState |= fsModal;
  FModalResult = mrNone;
  try {
    Show();
    int idleTurns = 0;
    for (;;) {
      if (FModalResult != mrNone) {
        if (CloseModal()) break;
        continue;
      }
      if (!Visible()) {
        FModalResult = mrCancel;  // hidden from outside the loop
        break;
      }
      if (os::PumpMessage()) {
        idleTurns = 0;
        continue;
      }
      if (!os::RunModalIdle(WindowHandle()) || ++idleTurns > kModalIdleTurnsWithoutProgress) {
        // Nobody acts for the user: the form closes as if cancelled.
        FModalResult = mrCancel;
        if (!CloseModal()) break;
        break;
      }
    }
  } catch (...) {
    FFormState &= ~fsModal;
    Hide();
    throw;
  }
  FFormState &= ~fsModal;
  Hide();
  return FModalResult;
}

bool TCustomForm::CloseModal() {
  if (!CloseQuery()) {
    FModalResult = mrNone;
    return false;
  }
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) {
    FModalResult = mrNone;
    return false;
  }
  return true;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery && CanFireEvents()) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FFormState & fsModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  switch (action) {
    case TCloseAction::caHide:
      Hide();
      break;
    case TCloseAction::caMinimize:
      SetWindowState(TWindowState::wsMinimized);
      break;
    case TCloseAction::caFree:
      Release();
      break;
    case TCloseAction::caNone:
      break;
  }
}

void TCustomForm::Release() { os::PostMessage(Handle(), CM_RELEASE, 0, 0); }

bool TCustomForm::Active() const {
  if (!HandleAllocated()) return false;
  const HWND focus = os::GetFocus();
  return focus && (focus == WindowHandle() || os::IsChild(WindowHandle(), focus));
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  if (control && GetParentForm(control) != this)
    throw EInvalidOperation("The control '" + control->Name() + "' is not on this form");
  if (control && Showing()) {
    if (!control->CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    os::SetFocus(control->Handle());  // its WM_SETFOCUS makes it the active control
    if (FActiveControl == control) return;
  }
  FActiveControl = control;
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == FActiveControl) return;
  TWinControl* old = FActiveControl;
  FActiveControl = control;
  if (old && old->OnExit && old->CanFireEvents()) old->OnExit(old);
  if (control && control == FActiveControl && control->OnEnter && control->CanFireEvents()) control->OnEnter(control);
}

void TCustomForm::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (FActiveControl && FActiveControl->CanFocus()) {
    os::SetFocus(FActiveControl->Handle());
    return;
  }
  os::SetFocus(Handle());
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FActiveControl) FActiveControl = nullptr;
}

void TCustomForm::ModifySystemMenu() {
  if (FBorderStyle != TFormBorderStyle::bsDialog || !HandleAllocated()) return;
  for (uint32_t command : {os::SC_SIZE, os::SC_MINIMIZE, os::SC_MAXIMIZE, os::SC_RESTORE})
    os::DeleteSystemMenuCommand(WindowHandle(), command);
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case os::WM_NCCREATE:
      DefaultHandler(message);
      ModifySystemMenu();
      return;
    case os::WM_CLOSE:
      Close();
      message.Result = 0;
      return;
    case CM_RELEASE:
      Free(this);  // nothing of the form may be touched after this
      return;
    case os::WM_ACTIVATE: {
      DefaultHandler(message);
      const bool active = (message.WParam & 0xFFFF) != os::WA_INACTIVE;
      if (active) {
        if (OnActivate && CanFireEvents()) OnActivate(this);
      } else if (OnDeactivate && CanFireEvents()) {
        OnDeactivate(this);
      }
      return;
    }
    case os::WM_SETFOCUS:
      DefaultHandler(message);
      // The form hands the focus on to its active control (when that one has a window).
      if (FActiveControl && FActiveControl != this && FActiveControl->HandleAllocated() && !IsDestroying() &&
          !FActiveControl->IsDestroying() && FActiveControl->CanFocus())
        os::SetFocus(FActiveControl->WindowHandle());
      return;
    case CM_DIALOGKEY: {
      const TShiftState shift = KeyboardShiftState();
      const bool alt = (message.LParam & os::KF_ALTDOWN_BIT) || (shift & ssAlt);
      if (!alt) {
        switch (message.WParam) {
          case os::VK_TAB:
            if (!(shift & ssCtrl)) {
              SelectNext(FActiveControl, !(shift & ssShift), true);
              message.Result = 1;
              return;
            }
            break;
          case os::VK_LEFT:
          case os::VK_RIGHT:
          case os::VK_UP:
          case os::VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
              const bool forward = message.WParam == os::VK_RIGHT || message.WParam == os::VK_DOWN;
              FActiveControl->Parent()->SelectNext(FActiveControl, forward, false);
              message.Result = 1;
              return;
            }
            break;
          default:
            break;
        }
      }
      TWinControl::WndProc(message);
      return;
    }
    default:
      TWinControl::WndProc(message);
  }
}

void TCustomForm::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  static const char* borders[] = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
  properties.push_back(std::string("border=") + borders[static_cast<int>(FBorderStyle)]);
  if (FModalResult != mrNone) properties.push_back("modalresult=" + std::to_string(FModalResult));
  if (FActiveControl && !FActiveControl->Name().empty()) properties.push_back("activecontrol=" + FActiveControl->Name());
}

// ---- TApplication -----------------------------------------------------------------------------------

void TApplication::HandleException(std::exception_ptr error) {
  std::string message = "Unknown exception";
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
  }
  FLastExceptionMessage = message;
  ++FExceptionCount;
  if (OnException) OnException(message);
  else std::fprintf(stderr, "Exception: %s\n", message.c_str());
}

TApplication& Application() {
  static TApplication application;
  return application;
}

}  // namespace tavix
