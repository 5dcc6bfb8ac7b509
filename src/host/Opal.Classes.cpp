#include "host/Opal.Classes.h"

#include "host/Opal.Util.h"
#include "platform/Files.h"
#include "platform/os/Shell.h"

namespace tavix {

namespace {

THelpNameHook& HelpNameHook() {
  static THelpNameHook hook;
  return hook;
}

// This module's file name without its extension: the key of its help topics.
std::string ModuleHelpName() {
  const std::string file = ExtractFileName(ModuleFileOf(reinterpret_cast<const void*>(&ModuleHelpName)));
  return ChangeFileExt(file, "");
}

// Two records name the same object when their IUnknown identities are equal.
bool SameObject(const THostRecord& a, const THostRecord& b) {
  if (a.Empty() || b.Empty()) return a.Empty() == b.Empty();
  if (a.Dispatch() == b.Dispatch()) return true;
  const ComPtr<IUnknown> ua = a.Ref().As<IUnknown>(IID_IUnknown);
  const ComPtr<IUnknown> ub = b.Ref().As<IUnknown>(IID_IUnknown);
  return ua && ua.Get() == ub.Get();
}

}  // namespace

void SetHelpNameHook(THelpNameHook hook) { HelpNameHook() = std::move(hook); }

// ---- TFormWithHelp ------------------------------------------------------------------------------------

TFormWithHelp::TFormWithHelp(TComponent* owner) : TForm(owner) {}

std::string TFormWithHelp::GetHelpName(TComponent* component) {
  if (!component) return std::string();
  if (!component->Name().empty()) return component->Name();
  std::string name = component->ClassName();
  if (!name.empty() && name[0] == 'T') name.erase(0, 1);
  return name;
}

std::string TFormWithHelp::GetHelpTopic(TControl* control) {
  const IClientAPI api = GetClientAPI();
  const std::string prefix = api ? api.GetHelpPrefix(ModuleHelpName()) : std::string();
  std::string topic = prefix + ".Dlg." + GetHelpName(this);
  if (!control || control == this) return topic;
  auto nameOf = [this](TComponent* c) { return HelpNameHook() ? HelpNameHook()(c) : GetHelpName(c); };
  std::vector<std::string> parents;
  for (TWinControl* p = control->Parent(); p && p != this && !dynamic_cast<TCustomForm*>(p); p = p->Parent())
    parents.push_back(nameOf(p));
  for (auto it = parents.rbegin(); it != parents.rend(); ++it) topic += "." + *it;
  return topic + "." + nameOf(control);
}

bool TFormWithHelp::GetHelpURL(TControl* control, std::string& url) {
  if (!control) return false;
  const std::string topic = GetHelpTopic(control);
  const IClientAPI api = GetClientAPI();
  if (!api) return false;
  return api.GetHelpURL(topic, url);
}

void TFormWithHelp::ShowHelpForControl(TControl* control) {
  std::string url;
  if (GetHelpURL(control, url)) os::ShellExecute("open", url, std::string(), os::SW_SHOWNORMAL);
}

void TFormWithHelp::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_CHILDKEY:
      if (FHandleHelp && message.WParam == os::VK_F1) {
        // The key is help (or, with a modifier, a host shortcut); the platform's help request
        // that follows an F1 is then not a second request.
        FIgnoreWhatsThis = true;
        if (IsShiftDown() || IsCtrlDown() || IsAltDown()) ProcessShortcut(os::VK_F1);
        else ShowHelpForControl(reinterpret_cast<TWinControl*>(message.LParam));
        message.Result = 1;
        return;
      }
      break;
    case os::WM_HELP: {
      const auto* info = reinterpret_cast<const os::HELPINFO*>(message.LParam);
      if (info && info->iContextType == os::HELPINFO_WINDOW) {
        if (FIgnoreWhatsThis) {
          FIgnoreWhatsThis = false;
        } else {
          ResetStatus();
          ShowHelpForControl(TWinControl::FindControl(info->hItemHandle));
        }
        message.Result = 1;
        return;
      }
      break;
    }
    default:
      break;
  }
  TForm::WndProc(message);
}

// ---- TServerViewForm ----------------------------------------------------------------------------------

void TServerViewForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case os::WM_GETDLGCODE:
      message.Result = os::DLGC_WANTARROWS | os::DLGC_WANTTAB | os::DLGC_WANTALLKEYS;
      return;
    case os::WM_KEYDOWN:
      // F1 stays help; every other key is the host's when it is a host shortcut.
      if (!(FHandleHelp && message.WParam == os::VK_F1) && ProcessShortcut(static_cast<int32_t>(message.WParam))) {
        message.Result = 0;
        return;
      }
      break;
    case os::WM_SYSKEYDOWN:
      if (ProcessShortcut(static_cast<int32_t>(message.WParam))) {
        message.Result = 0;
        return;
      }
      break;
    default:
      break;
  }
  TFormWithHelp::WndProc(message);
}

// ---- TServerDialog ---------------------------------------------------------------------------------------

TServerDialog::TServerDialog(TComponent* owner) : TFormWithHelp(owner) {}

void TServerDialog::Loaded() {
  TFormWithHelp::Loaded();
  if (BorderStyle() == TFormBorderStyle::bsSizeable) {
    FSizeableDialog = true;
    SetBorderStyle(TFormBorderStyle::bsDialog);
  }
  RecreateWnd();
  SetColor(clBtnFace);
}

void TServerDialog::AfterConstruction() {
  TFormWithHelp::AfterConstruction();
  PlaceOnMonitor();
}

void TServerDialog::PlaceOnMonitor() {
  const os::HMONITOR monitor = os::MonitorFromWindow(os::GetActiveWindow(), os::MONITOR_DEFAULTTONEAREST);
  os::TMonitorInfo info;
  if (!os::GetMonitorInfo(monitor, info)) return;
  // Integer halving truncates toward zero, also left of the primary monitor.
  const int32_t left = (info.Monitor.Left + info.Monitor.Right - Width()) / 2;
  const int32_t top = (info.Monitor.Top + info.Monitor.Bottom - Height()) / 2;
  SetBounds(left, top, Width(), Height());
}

void TServerDialog::CreateParams(TCreateParams& params) {
  TFormWithHelp::CreateParams(params);
  if (FSizeableDialog) params.Style |= os::WS_THICKFRAME;
  if (!(params.Style & os::WS_CHILD) && ParentToHostWindow()) {
    const IClient client = HostClient();
    const HWND main = client ? client.GetMainWindowHandle() : 0;
    params.WndParent = os::IsWindow(main) ? main : 0;
  }
}

TRect TServerDialog::FrameThickness() const {
  if (HandleAllocated() || !FSizeableDialog) return TFormWithHelp::FrameThickness();
  uint32_t style = 0, exStyle = 0;
  BorderStyleBits(style, exStyle);
  return os::FrameThickness(style | os::WS_THICKFRAME, exStyle);
}

void TServerDialog::WndProc(TMessage& message) {
  if (message.Msg == os::WM_NCCREATE && FSizeableDialog) {
    DefaultHandler(message);  // the form's own handling would take the sizing away
    return;
  }
  TFormWithHelp::WndProc(message);
}

void TServerDialog::ShowingChanged(bool show) {
  if (!show || Position() == TPosition::poDesigned) {
    TFormWithHelp::ShowingChanged(show);
    return;
  }
  try {
    DoShow();
  } catch (...) {
    Application().HandleException(std::current_exception());
  }
  if (Visible() && HandleAllocated()) os::ShowWindow(WindowHandle(), ShowCommand());
}

// ---- TServerPanelForm --------------------------------------------------------------------------------------

TServerPanelForm::TServerPanelForm(TComponent* owner) : TServerViewForm(owner) {
  FTimerHandler = TTimerHandler::Create(500, false, [this](uint32_t id) { TimerTick(id); });
}

TServerPanelForm::~TServerPanelForm() {
  if (FTimerHandler) {
    try {
      FTimerHandler->Unregister();
    } catch (...) {
    }
    FTimerHandler.Reset();
  }
}

void TServerPanelForm::BeforeDestruction() {
  if (FTimerHandler) {
    ComPtr<TTimerHandler> handler = std::move(FTimerHandler);
    try {
      handler->Unregister();
    } catch (...) {
      Application().HandleException(std::current_exception());
    }
  }
  TServerViewForm::BeforeDestruction();
}

void TServerPanelForm::TimerTick(uint32_t) {}

void TServerPanelForm::WndProc(TMessage& message) {
  if (message.Msg == os::WM_ERASEBKGND && FParentWindowHolder) {
    const HWND holderWindow = FParentWindowHolder.GetWindowHandle();
    if (holderWindow) {
      // The holder's window paints the background into our context.
      const HDC dc = static_cast<HDC>(message.WParam);
      const int32_t saved = os::SaveDC(dc);
      const bool doubleBuffered = DoubleBuffered;
      DoubleBuffered = false;
      try {
        os::SendMessage(holderWindow, os::WM_ERASEBKGND, message.WParam, 0);
      } catch (...) {
        DoubleBuffered = doubleBuffered;
        os::RestoreDC(dc, saved);
        throw;
      }
      DoubleBuffered = doubleBuffered;
      os::RestoreDC(dc, saved);
      message.Result = 1;
      return;
    }
  }
  TServerViewForm::WndProc(message);
}

void TServerPanelForm::TextChanged() {
  TServerViewForm::TextChanged();
  if (!FParentWindowHolder || IsDestroying()) return;
  if (const HWND holderWindow = FParentWindowHolder.GetWindowHandle()) os::SetWindowText(holderWindow, Caption());
  FParentWindowHolder.CaptionChanged();
}

// ---- TAbstractExternalForm -----------------------------------------------------------------------------------

bool TAbstractExternalForm::SupportsService(const std::string& serviceName) {
  return SameText(serviceName, "ExternalForm") || TAbstractSupportService::SupportsService(serviceName);
}

bool TAbstractExternalForm::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case DISPID_ExternalForm_SetParentWindow: {
      const IExternalFormHolder holder(args.Object(0));
      RunOperation([&] { SetParentWindow(holder); });
      return true;
    }
    case DISPID_ExternalForm_ParentWindowCreated:
      RunOperation([&] { ParentWindowCreated(); });
      return true;
    case DISPID_ExternalForm_ParentWindowDestroyed:
      RunOperation([&] { ParentWindowDestroyed(); });
      return true;
    case DISPID_ExternalForm_GetBounds: {
      int32_t* out[4] = {args.IntRef(0), args.IntRef(1), args.IntRef(2), args.IntRef(3)};
      int32_t bounds[4] = {0, 0, 0, 0};
      RunOperation([&] { GetBounds(bounds[0], bounds[1], bounds[2], bounds[3]); });
      for (int i = 0; i < 4; ++i) *out[i] = bounds[i];
      return true;
    }
    case DISPID_ExternalForm_GetCaption:
      SetResultString(result, RunOperation([&] { return GetCaption(); }));
      return true;
    case DISPID_ExternalForm_GetWindowHandle:
      SetResultInt(result, RunOperation([&] { return GetWindowHandle(); }));
      return true;
    case DISPID_ExternalForm_Hide:
      RunOperation([&] { Hide(); });
      return true;
    case DISPID_ExternalForm_SetBounds: {
      const int32_t left = args.Int(0), top = args.Int(1), width = args.Int(2), height = args.Int(3);
      RunOperation([&] { SetBounds(left, top, width, height); });
      return true;
    }
    case DISPID_ExternalForm_Activate:
      RunOperation([&] { Activate(); });
      return true;
    case DISPID_ExternalForm_Show:
      RunOperation([&] { Show(); });
      return true;
    case DISPID_ExternalForm_FocusFirstControl:
      RunOperation([&] { FocusFirstControl(); });
      return true;
    default:
      return TAbstractSupportService::DoInvoke(id, args, result);
  }
}

// ---- TExternalForm -----------------------------------------------------------------------------------------

// Tells its external form when the form is freed by someone else, so that no freed form is
// ever touched.
class TFormWatcher : public TComponent {
 public:
  TFormWatcher(TExternalForm* owner, TCustomForm* form) : FOwner(owner) {
    if (form) FreeNotification(form);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && FOwner && component == FOwner->FForm) FOwner->FormGone();
  }

 private:
  TExternalForm* FOwner;
};

TExternalForm::TExternalForm(TCustomForm* form, bool forceDestroy)
    : FForceDestroy(forceDestroy), FForm(form), FWatcher(new TFormWatcher(this, form)) {
  if (FForm) FForm->SetBorderStyle(TFormBorderStyle::bsNone);
}

TExternalForm::~TExternalForm() {
  FWatcher.reset();
  TCustomForm* form = FForm;
  FForm = nullptr;
  try {
    DestroyExternalForm(form, FForceDestroy);
  } catch (...) {
    Application().HandleException(std::current_exception());
  }
}

void TExternalForm::FormGone() { FForm = nullptr; }

void TExternalForm::SetParentWindow(const IExternalFormHolder& holder) {
  FParentWindow = holder;
  if (FForm && holder.Empty()) ParentWindowDestroyed();
}

void TExternalForm::ParentWindowCreated() {
  if (!FForm) return;
  const int32_t left = FForm->Left(), top = FForm->Top();
  // A holder without a window has nothing to hold the form in yet.
  const HWND holderWindow = FParentWindow ? FParentWindow.GetWindowHandle() : 0;
  if (holderWindow) {
    FForm->SetParentWindow(holderWindow);
    FForm->SetVisible(true);
  } else {
    FForm->SetVisible(false);
  }
  if (!FForm) return;
  FForm->SetBounds(left, top, FForm->Width(), FForm->Height());
}

void TExternalForm::ParentWindowDestroyed() {
  if (!FForm) return;
  if (FForm->OnHide) FForm->OnHide(FForm);
  if (!FForm) return;
  FForm->IncludeControlState(csRecreating);
  try {
    FForm->DestroyHandle();
  } catch (...) {
    if (FForm) FForm->ExcludeControlState(csRecreating);
    throw;
  }
  FForm->ExcludeControlState(csRecreating);
  FForm->SetVisible(false);
  FForm->SetParentWindow(0);
}

void TExternalForm::GetBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) {
  if (!FForm) {
    left = top = width = height = 0;
    return;
  }
  left = FForm->Left();
  top = FForm->Top();
  width = FForm->Width();
  height = FForm->Height();
}

std::string TExternalForm::GetCaption() { return FForm ? FForm->Caption() : std::string(); }

int32_t TExternalForm::GetWindowHandle() { return FForm ? FForm->Handle() : 0; }

void TExternalForm::Hide() {
  if (FForm) FForm->Hide();
}

void TExternalForm::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (FForm) FForm->SetBounds(left, top, width, height);
}

void TExternalForm::Activate() {
  if (FForm && FForm->Visible() && FForm->CanFocus()) FForm->SetFocus();
}

void TExternalForm::Show() {
  if (FForm) FForm->Show();
}

void TExternalForm::FocusFirstControl() {
  if (FForm) FForm->SelectFirst();
}

void DestroyExternalForm(TCustomForm* form, bool forceDestroy) {
  if (!form) return;
  bool atOnce = forceDestroy;
  if (!atOnce) {
    try {
      const IClient client = HostClient();
      atOnce = !client || client.Call(DISPID_Client_QueryDestroyAtOnce).AsBool();
    } catch (...) {
      atOnce = false;  // the host cannot tell: the queue is the safe way
    }
  }
  if (atOnce) Free(form);
  else if (form->HandleAllocated()) form->Release();
  else TDelayedDestroyer::Schedule(form);
}

// ---- TAbstractSDKServerView, TServerPanelView ---------------------------------------------------------------

TAbstractSDKServerView::TAbstractSDKServerView(const std::string& viewName, TCustomForm* form)
    : TExternalForm(form, false), FViewName(viewName) {
  if (auto* panel = dynamic_cast<TServerPanelForm*>(form)) panel->SetPanelName(viewName);
}

bool TAbstractSDKServerView::SupportsService(const std::string& serviceName) {
  return SameText(serviceName, "ServerView") || SameText(serviceName, "DragDropTarget") ||
         TExternalForm::SupportsService(serviceName);
}

void TAbstractSDKServerView::DragEnter(const THostRecord& dragDropObject) {
  if (dragDropObject) dragDropObject.Call(6, IDC_NO);
}
void TAbstractSDKServerView::DragOver(const THostRecord&) {}
void TAbstractSDKServerView::DragLeave(const THostRecord&) {}
void TAbstractSDKServerView::DragDrop(const THostRecord&) {}
bool TAbstractSDKServerView::DragQueryAccept(const THostRecord&, int32_t, int16_t) { return false; }
bool TAbstractSDKServerView::IsPanelView() { return false; }
std::string TAbstractSDKServerView::GetViewName() { return FViewName; }

std::string TAbstractSDKServerView::GetViewState() {
  FViewState = SaveState();
  return FViewState;
}

void TAbstractSDKServerView::SetViewState(const std::string&) {}
void TAbstractSDKServerView::ReceiveNotification(const INotification&) {}
std::string TAbstractSDKServerView::GetViewStateFor(const Variant&) { return GetViewState(); }
void TAbstractSDKServerView::ApplyViewState(const std::string& state) { SetViewState(state); }
std::string TAbstractSDKServerView::SaveState() { return std::string(); }

bool TAbstractSDKServerView::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 9:
    case 10:
    case 11:
    case 12: {
      const THostRecord object(args.Object(0));
      RunOperation([&] {
        if (id == 9) DragEnter(object);
        else if (id == 10) DragOver(object);
        else if (id == 11) DragLeave(object);
        else DragDrop(object);
      });
      return true;
    }
    case 13: {
      const THostRecord object(args.Object(0));
      const int32_t value = args.Int(1);
      const auto keys = static_cast<int16_t>(args.Int(2));
      SetResultBool(result, RunOperation([&] { return DragQueryAccept(object, value, keys); }));
      return true;
    }
    case 60:
      SetResultBool(result, RunOperation([&] { return IsPanelView(); }));
      return true;
    case 61:
      SetResultString(result, RunOperation([&] { return GetViewName(); }));
      return true;
    case 62:
      SetResultString(result, RunOperation([&] { return GetViewState(); }));
      return true;
    case 63: {
      const std::string state = args.Str(0);
      RunOperation([&] { SetViewState(state); });
      return true;
    }
    case 64: {
      const INotification notification(args.Object(0));
      RunOperation([&] { ReceiveNotification(notification); });
      return true;
    }
    case 65: {
      Variant argument;
      OleCheck(VariantCopy(argument.Out(), &args.Arg(0)));
      SetResultString(result, RunOperation([&] { return GetViewStateFor(argument); }));
      return true;
    }
    case 66: {
      const std::string state = args.Str(0);
      RunOperation([&] { ApplyViewState(state); });
      return true;
    }
    default:
      return TExternalForm::DoInvoke(id, args, result);
  }
}

TServerPanelView::TServerPanelView(const std::string& viewName, TServerPanelForm* form)
    : TAbstractSDKServerView(viewName, form), FPanelForm(form) {}

void TServerPanelView::SetParentWindow(const IExternalFormHolder& holder) {
  TAbstractSDKServerView::SetParentWindow(holder);
  if (FForm) FPanelForm->SetParentWindowHolder(holder);
}

// ---- TExternalFormComponent -----------------------------------------------------------------------------------

TExternalFormComponent::TExternalFormComponent(TComponent* owner) : TCustomPanel(owner) {
  BevelOuter = TBevelCut::bvNone;
  SetTabStop(true);
}

TExternalFormComponent::~TExternalFormComponent() {
  ReleaseExternalForm();
  DestroyHandle();
}

void TExternalFormComponent::BeforeDestruction() {
  ReleaseExternalForm();
  TCustomPanel::BeforeDestruction();
}

template <class F>
void TExternalFormComponent::Guarded(F&& call) {
  try {
    call();
  } catch (...) {
    Application().HandleException(std::current_exception());
  }
}

bool TExternalFormComponent::SupportsService(const std::string& serviceName) {
  return SameText(serviceName, "ExternalFormHolder");
}

bool TExternalFormComponent::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case DISPID_Holder_GetWindowHandle:
      SetResultInt(result, WindowHandle());
      return true;
    case DISPID_Holder_SetDialogHandle:
      Application().SetDialogHandle(args.Int(0));
      return true;
    case DISPID_Holder_CaptionChanged:
      return true;
    default:
      return TAbstractSupportService::DoInvoke(id, args, result);  // 1023 only
  }
}

void TExternalFormComponent::SetExternalForm(const IExternalForm& form) {
  if (SameObject(form, FExternalForm)) return;
  if (FExternalForm) {
    const IExternalForm old = FExternalForm;
    old.ParentWindowDestroyed();
  }
  FExternalForm = form;
  if (!form) return;
  SetCaption(form.GetCaption());
  SetVisible(false);
  // Out of the parent and back: the panel gets a new window when it shows again. The new form
  // was never in the old window, so it is not told that window goes.
  TWinControl* parent = Parent();
  FReparenting = true;
  try {
    SetParent(nullptr);
    SetParent(parent);
  } catch (...) {
    FReparenting = false;
    throw;
  }
  FReparenting = false;
  form.SetParentWindow(AsDispatch());
  SetVisible(true);
}

void TExternalFormComponent::SwitchExternalForm(const IExternalForm& form) {
  if (SameObject(form, FExternalForm)) return;
  if (form) {
    form.SetParentWindow(AsDispatch());
    form.SetBounds(0, 0, ClientWidth(), ClientHeight());
    form.ParentWindowCreated();
    form.Show();
  }
  FExternalForm = form;
  if (form) SetCaption(form.GetCaption());
}

void TExternalFormComponent::ReleaseExternalForm() {
  if (!FExternalForm) return;
  const IExternalForm form = FExternalForm;
  FExternalForm.Clear();
  Guarded([&] { form.Hide(); });
  Guarded([&] { form.ParentWindowDestroyed(); });
  Guarded([&] { form.SetParentWindow(nullptr); });
}

void TExternalFormComponent::CreateWnd() {
  TCustomPanel::CreateWnd();
  if (FExternalForm) Guarded([&] { FExternalForm.ParentWindowCreated(); });
}

void TExternalFormComponent::DestroyWnd() {
  if (FExternalForm && !FReparenting) Guarded([&] { FExternalForm.ParentWindowDestroyed(); });
  TCustomPanel::DestroyWnd();
}

void TExternalFormComponent::DoActivate() {
  if (FExternalForm) Guarded([&] { FExternalForm.Activate(); });
  if (OnActivate && CanFireEvents()) OnActivate(this);
}

void TExternalFormComponent::WndProc(TMessage& message) {
  switch (message.Msg) {
    case os::WM_ACTIVATE:
      TCustomPanel::WndProc(message);
      if ((message.WParam & 0xFFFF) != os::WA_INACTIVE) DoActivate();
      return;
    case os::WM_SETFOCUS:
      TCustomPanel::WndProc(message);
      if (HandleAllocated() && os::IsWindowVisible(WindowHandle())) DoActivate();
      return;
    case os::WM_SIZE:
      TCustomPanel::WndProc(message);
      if (FExternalForm) Guarded([&] { FExternalForm.SetBounds(0, 0, Width(), Height()); });
      return;
    case os::WM_GETDLGCODE:
    case CM_WANTSPECIALKEY:
      if (FExternalForm) {
        HWND formWindow = 0;
        Guarded([&] { formWindow = FExternalForm.GetWindowHandle(); });
        if (formWindow) {
          message.Result = os::SendMessage(formWindow, message.Msg, message.WParam, message.LParam);
          return;
        }
      }
      break;
    case CM_DIALOGKEY: {
      const bool alt = (message.LParam & os::KF_ALTDOWN_BIT) || (KeyboardShiftState() & ssAlt);
      TCustomForm* form = GetParentForm(this);
      if (message.WParam == os::VK_TAB && !alt && !FInCMDialogKey && form && form->HandleAllocated()) {
        // Once to the form this panel stands in; the form's own broadcast comes back here.
        FInCMDialogKey = true;
        try {
          message.Result = os::SendMessage(form->WindowHandle(), CM_DIALOGKEY, message.WParam, message.LParam);
        } catch (...) {
          FInCMDialogKey = false;
          throw;
        }
        FInCMDialogKey = false;
        return;
      }
      break;
    }
    case WM_SETTRANSPARENT:
      FTransparent = message.WParam != 0;
      message.Result = 1;
      return;
    case os::WM_PAINT:
      if (FTransparent) {
        message.Result = 0;  // nothing of its own to paint
        return;
      }
      break;
    case os::WM_ERASEBKGND:
      if (FTransparent && HandleAllocated()) {
        const HWND parentWindow = os::GetParent(WindowHandle());
        if (parentWindow) {
          const HDC dc = static_cast<HDC>(message.WParam);
          const int32_t saved = os::SaveDC(dc);
          os::OffsetWindowOrg(dc, Left(), Top());
          os::SendMessage(parentWindow, os::WM_ERASEBKGND, message.WParam, 0);
          os::SendMessage(parentWindow, os::WM_PAINT, message.WParam, 0);
          os::RestoreDC(dc, saved);
          message.Result = 1;
          return;
        }
      }
      break;
    default:
      break;
  }
  TCustomPanel::WndProc(message);
}

// ---- TDelayedDestroyer ------------------------------------------------------------------------------------------

TDelayedDestroyer::TDelayedDestroyer(TComponent* objectToDestroy) : FObjectToDestroy(objectToDestroy) {
  os::TWindowCreateParams params;
  params.ClassName = "TDelayedDestroyer";
  params.Proc = [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg != CM_RELEASE || window != FHandle) return os::DefWindowProc(window, msg, wParam, lParam);
    TComponent* object = std::exchange(FObjectToDestroy, nullptr);
    try {
      Free(object);
    } catch (...) {
      Application().HandleException(std::current_exception());
    }
    delete this;  // nothing of the destroyer may be touched after this
    return 0;
  };
  FHandle = os::CreateWindowEx(params);
}

TDelayedDestroyer::~TDelayedDestroyer() {
  const HWND handle = std::exchange(FHandle, 0);
  if (handle) os::DestroyWindow(handle);
}

void TDelayedDestroyer::Schedule(TComponent* objectToDestroy) {
  if (!objectToDestroy) return;
  auto* destroyer = new TDelayedDestroyer(objectToDestroy);
  if (!destroyer->FHandle || !os::PostMessage(destroyer->FHandle, CM_RELEASE, 0, 0)) {
    destroyer->FObjectToDestroy = nullptr;
    delete destroyer;
    Free(objectToDestroy);
  }
}

// ---- handlers ----------------------------------------------------------------------------------------------------

bool TAbstractNotificationHandler::SupportsService(const std::string& serviceName) {
  return SameText(serviceName, "NotificationHandler") || TAbstractSupportService::SupportsService(serviceName);
}

bool TAbstractNotificationHandler::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id != DISPID_NotificationHandler_HandleNotification) return TAbstractSupportService::DoInvoke(id, args, result);
  const INotification notification(args.Object(0));
  RunOperation([&] { HandleNotification(notification); });
  return true;
}

ComPtr<TNotificationHandler> TNotificationHandler::Create(TNotificationHandlerCallback handler) {
  ComPtr<TNotificationHandler> object(new TNotificationHandler(std::move(handler)));
  if (const IClient client = HostClient()) {
    client.RegisterNotificationHandler(object->AsDispatch());
    object->FClient = client;
    object->FRegistered = true;
  }
  return object;
}

TNotificationHandler::~TNotificationHandler() {
  if (!FRegistered) return;
  // A host that takes and drops a reference during the call must not free us a second time.
  AddRef();
  try {
    FClient.UnregisterNotificationHandler(AsDispatch());
  } catch (...) {
  }
}

void TNotificationHandler::Unregister() {
  const ComPtr<TNotificationHandler> keepAlive(this);  // the host may drop the last reference
  FHandler = nullptr;
  if (!FRegistered) return;
  FRegistered = false;
  const IClient client = std::move(FClient);
  FClient.Clear();
  client.UnregisterNotificationHandler(AsDispatch());
}

void TNotificationHandler::HandleNotification(const INotification& notification) {
  if (FHandler) FHandler(notification);
}

bool TAbstractTimerHandler::SupportsService(const std::string& serviceName) {
  return SameText(serviceName, "TimerHandler") || TAbstractSupportService::SupportsService(serviceName);
}

bool TAbstractTimerHandler::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id != DISPID_TimerHandler_HandleTimerEvent) return TAbstractSupportService::DoInvoke(id, args, result);
  const auto timerId = static_cast<uint32_t>(args.Int64(0));
  RunOperation([&] { HandleTimerEvent(timerId); });
  return true;
}

ComPtr<TTimerHandler> TTimerHandler::Create(int32_t intervalMs, bool enabled, THandleTimerEventCallback handler) {
  ComPtr<TTimerHandler> object(new TTimerHandler(std::move(handler)));
  if (const IClient client = HostClient()) {
    if (const ITimerManager timers = client.GetTimerManager()) {
      object->FTimerID = timers.AddHandler(object->AsDispatch(), intervalMs, enabled);
      object->FTimerManager = timers;
    }
  }
  return object;
}

TTimerHandler::~TTimerHandler() {
  if (FTimerID == 0 || !FTimerManager) return;
  AddRef();  // see TNotificationHandler
  try {
    FTimerManager.RemoveHandler(FTimerID);
  } catch (...) {
  }
}

void TTimerHandler::SetEnabled(bool enabled) {
  if (FTimerID != 0 && FTimerManager) FTimerManager.EnableHandler(FTimerID, enabled);
}

void TTimerHandler::Unregister() {
  const ComPtr<TTimerHandler> keepAlive(this);
  FHandler = nullptr;
  const uint32_t id = std::exchange(FTimerID, 0);
  const ITimerManager timers = std::move(FTimerManager);
  FTimerManager.Clear();
  if (id != 0 && timers) timers.RemoveHandler(id);
}

void TTimerHandler::HandleTimerEvent(uint32_t id) {
  if (FHandler) FHandler(id);
}

}  // namespace tavix
