// How the module's windows live in the host: form bases with help and keyboard handling,
// dialogs placed and owned the host's way, panel forms whose background and caption belong to
// the host's holder, the automation objects that hand a form to the host as an external form
// or a server view, the panel that embeds somebody else's external form, and the notification
// and timer handlers the host calls back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/Opal.Interfaces.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "plugin/Opal.Types.h"

namespace tavix {

// ---- records over the contracts of this unit ---------------------------------------------------

// The host's (or our) holder of an external form.
TAVIX_RECORD(IExternalFormHolder)
  int32_t GetWindowHandle() const { return Call(69).AsInt(); }
  void SetDialogHandle(int32_t handle) const { Call(70, handle); }
  void CaptionChanged() const { Call(71); }
};

// A form handed out by some server as an external form.
TAVIX_RECORD(IExternalForm)
  void SetParentWindow(IDispatch* holder) const { Call(49, holder); }
  void ParentWindowCreated() const { Call(50); }
  void ParentWindowDestroyed() const { Call(51); }
  void GetBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) const {
    Call(52, ByRefInt{&left}, ByRefInt{&top}, ByRefInt{&width}, ByRefInt{&height});
  }
  std::string GetCaption() const { return Call(53).AsString(); }
  int32_t GetWindowHandle() const { return Call(54).AsInt(); }
  void Hide() const { Call(55); }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) const { Call(56, left, top, width, height); }
  void Activate() const { Call(57); }
  void Show() const { Call(58); }
  void FocusFirstControl() const { Call(59); }
};

// The DISPIDs of the contracts.
enum : DISPID {
  DISPID_ExternalForm_SetParentWindow = 49,
  DISPID_ExternalForm_ParentWindowCreated = 50,
  DISPID_ExternalForm_ParentWindowDestroyed = 51,
  DISPID_ExternalForm_GetBounds = 52,
  DISPID_ExternalForm_GetCaption = 53,
  DISPID_ExternalForm_GetWindowHandle = 54,
  DISPID_ExternalForm_Hide = 55,
  DISPID_ExternalForm_SetBounds = 56,
  DISPID_ExternalForm_Activate = 57,
  DISPID_ExternalForm_Show = 58,
  DISPID_ExternalForm_FocusFirstControl = 59,
  DISPID_Holder_GetWindowHandle = 69,
  DISPID_Holder_SetDialogHandle = 70,
  DISPID_Holder_CaptionChanged = 71,
  DISPID_NotificationHandler_HandleNotification = 266,
  DISPID_TimerHandler_HandleTimerEvent = 267,
  DISPID_Client_QueryDestroyAtOnce = 504,
};

// The system's no-drop cursor a drag over a server view shows by default.
constexpr int32_t IDC_NO = 32648;

// ---- forms -------------------------------------------------------------------------------------------

// Names a control in help topics instead of TFormWithHelp::GetHelpName when set.
using THelpNameHook = std::function<std::string(TComponent* component)>;
void SetHelpNameHook(THelpNameHook hook);

// A form whose F1 opens the help page of the control it is pressed in, through the host's help
// topics (client API 964 gives this module's prefix, 963 turns a topic into an address that
// the shell opens). F1 with Shift, Ctrl or Alt is a shortcut for the host instead.
class TFormWithHelp : public TForm {
 public:
  explicit TFormWithHelp(TComponent* owner = nullptr);

  bool IgnoreWhatsThis() const { return FIgnoreWhatsThis; }
  bool HandleHelp() const { return FHandleHelp; }
  void SetHandleHelp(bool value) { FHandleHelp = value; }

  // The help address of a control; false for none (no control, no host, no page).
  virtual bool GetHelpURL(TControl* control, std::string& url);
  // The component's Name, or its class name without a leading "T" when it has none.
  virtual std::string GetHelpName(TComponent* component);
  // prefix + ".Dlg." + form name, then for a control the names of its parents below the form
  // (outermost first) and its own, each after a ".".
  virtual std::string GetHelpTopic(TControl* control);
  // Opens the control's help address with the shell verb "open" in a normal window.
  virtual void ShowHelpForControl(TControl* control);

 protected:
  void WndProc(TMessage& message) override;

  bool FIgnoreWhatsThis = false;
  bool FHandleHelp = true;
};

// A form shown in a host view: it wants every key (dialog code 7) and offers the keys it does
// not take as help, and all system keys, to the host's shortcuts.
class TServerViewForm : public TFormWithHelp {
 public:
  using TFormWithHelp::TFormWithHelp;

 protected:
  void WndProc(TMessage& message) override;
};

// A dialog of the module: centred on the monitor nearest the active window after creation,
// owned by the host's main window, with a dialog border (a sizeable one keeps its thick frame).
// Make it with NewForm so that Loaded and the placing run.
class TServerDialog : public TFormWithHelp {
 public:
  explicit TServerDialog(TComponent* owner = nullptr);

  bool SizeableDialog() const { return FSizeableDialog; }
  // Whether the dialog's owner window is the host's main window.
  virtual bool ParentToHostWindow() { return true; }
  // left = (monitor left + monitor right - width) div 2, top likewise, on the monitor nearest
  // the active window.
  virtual void PlaceOnMonitor();

  void Loaded() override;
  void AfterConstruction() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  TRect FrameThickness() const override;
  void WndProc(TMessage& message) override;
  void ShowingChanged(bool show) override;

  bool FSizeableDialog = false;
};

class TTimerHandler;

// A form in a host panel: erasing its background and announcing caption changes go through
// the holder the host gives it. It owns a 500 ms timer handler, created disabled, whose ticks
// reach TimerTick.
class TServerPanelForm : public TServerViewForm {
 public:
  explicit TServerPanelForm(TComponent* owner = nullptr);
  ~TServerPanelForm() override;

  const IExternalFormHolder& ParentWindowHolder() const { return FParentWindowHolder; }
  void SetParentWindowHolder(const IExternalFormHolder& holder) { FParentWindowHolder = holder; }
  const std::string& PanelName() const { return FPanelName; }
  void SetPanelName(const std::string& name) { FPanelName = name; }
  TTimerHandler* TimerHandler() const { return FTimerHandler.Get(); }

  virtual void TimerTick(uint32_t id);

  void BeforeDestruction() override;

 protected:
  void WndProc(TMessage& message) override;
  void TextChanged() override;

  IExternalFormHolder FParentWindowHolder;
  std::string FPanelName;
  ComPtr<TTimerHandler> FTimerHandler;
};

// ---- external forms and server views ----------------------------------------------------------------

// The external-form contract by DISPID (49 to 59), each operation virtual in DISPID order.
class TAbstractExternalForm : public TAbstractSupportService {
 public:
  virtual void SetParentWindow(const IExternalFormHolder& holder) = 0;
  virtual void ParentWindowCreated() = 0;
  virtual void ParentWindowDestroyed() = 0;
  virtual void GetBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) = 0;
  virtual std::string GetCaption() = 0;
  virtual int32_t GetWindowHandle() = 0;
  virtual void Hide() = 0;
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual void Activate() = 0;
  virtual void Show() = 0;
  virtual void FocusFirstControl() = 0;

  bool SupportsService(const std::string& serviceName) override;
  using TAbstractSupportService::SupportsService;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

class TFormWatcher;

// A form handed to the host. The object owns the form: when the host lets the object go, the
// form is freed at once (no client, the client's query 504 says so, or forced), else through
// the message queue.
class TExternalForm : public TAbstractExternalForm {
 public:
  // Keeps the form and gives it no border.
  TExternalForm(TCustomForm* form, bool forceDestroy);
  ~TExternalForm() override;

  TCustomForm* Form() const { return FForm; }
  const IExternalFormHolder& ParentWindow() const { return FParentWindow; }

  void SetParentWindow(const IExternalFormHolder& holder) override;
  void ParentWindowCreated() override;
  void ParentWindowDestroyed() override;
  void GetBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) override;
  std::string GetCaption() override;
  int32_t GetWindowHandle() override;
  void Hide() override;
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Activate() override;
  void Show() override;
  void FocusFirstControl() override;

 protected:
  bool FForceDestroy;
  TCustomForm* FForm;
  IExternalFormHolder FParentWindow;

 private:
  friend class TFormWatcher;
  void FormGone();
  std::unique_ptr<TFormWatcher> FWatcher;
};

// Frees a form the way an external form goes: at once without a client, when the client's
// query 504 answers true or when forced; otherwise a form with a window is released through
// the message queue and one without is handed to a TDelayedDestroyer.
void DestroyExternalForm(TCustomForm* form, bool forceDestroy);

// A server view on top of the external form: drag and drop (9 to 13), panel query (60), view
// name (61), view state (62, 63, 65, 66) and host notifications (64).
class TAbstractSDKServerView : public TExternalForm {
 public:
  TAbstractSDKServerView(const std::string& viewName, TCustomForm* form);

  const std::string& ViewName() const { return FViewName; }

  virtual void DragEnter(const THostRecord& dragDropObject);  // 9: shows the no-drop cursor
  virtual void DragOver(const THostRecord& dragDropObject);   // 10
  virtual void DragLeave(const THostRecord& dragDropObject);  // 11
  virtual void DragDrop(const THostRecord& dragDropObject);   // 12
  virtual bool DragQueryAccept(const THostRecord& dragDropObject, int32_t value, int16_t keys);  // 13: false
  virtual bool IsPanelView();                                          // 60: false
  virtual std::string GetViewName();                                   // 61
  virtual std::string GetViewState();                                  // 62: SaveState, kept in FViewState
  virtual void SetViewState(const std::string& state);                 // 63: nothing
  virtual void ReceiveNotification(const INotification& notification);  // 64: nothing
  virtual std::string GetViewStateFor(const Variant& argument);         // 65: as 62
  virtual void ApplyViewState(const std::string& state);                // 66: as 63
  // The view's state as text; empty by default.
  virtual std::string SaveState();

  bool SupportsService(const std::string& serviceName) override;
  using TAbstractSupportService::SupportsService;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

  std::string FViewName;
  std::string FViewState;
};

// The view of a panel form: a panel (60 answers true) whose holder goes on to the form.
class TServerPanelView : public TAbstractSDKServerView {
 public:
  TServerPanelView(const std::string& viewName, TServerPanelForm* form);

  TServerPanelForm* PanelForm() const { return FForm ? FPanelForm : nullptr; }
  bool IsPanelView() override { return true; }
  void SetParentWindow(const IExternalFormHolder& holder) override;

 protected:
  TServerPanelForm* FPanelForm;
};

// ---- the holder panel ----------------------------------------------------------------------------------

// A borderless, tab-stop panel that embeds an external form of any server. It is the form's
// holder (69 window handle, 70 dialog handle, 71 caption changed, 1023 "ExternalFormHolder");
// it is not reference counted and lives as long as the panel.
class TExternalFormComponent : public TCustomPanel, public TAbstractSupportService {
 public:
  explicit TExternalFormComponent(TComponent* owner = nullptr);
  ~TExternalFormComponent() override;

  const IExternalForm& ExternalForm() const { return FExternalForm; }
  // Embeds the form: the old one is told its window is gone (51); the new one gives its
  // caption, the panel makes a new window and hands itself over as the holder (49).
  void SetExternalForm(const IExternalForm& form);
  // Switches to another form: 49, 56 (client area), 50, 58 on it; the old one is not told.
  void SwitchExternalForm(const IExternalForm& form);
  bool Transparent() const { return FTransparent; }
  TNotifyEvent OnActivate;

  int32_t TAVIX_STDCALL AddRef() override { return 1; }
  int32_t TAVIX_STDCALL Release() override { return 1; }
  bool SupportsService(const std::string& serviceName) override;
  using TAbstractSupportService::SupportsService;

  void BeforeDestruction() override;

  // Private message: lParam-free switch of transparency (wParam non-zero), answered with 1.
  static constexpr UINT WM_SETTRANSPARENT = os::WM_USER + 1;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;

 private:
  void DoActivate();
  // Tells the form the panel is going: 55, 51 and 49 with no holder.
  void ReleaseExternalForm();
  // Runs a call on the embedded form; a failure goes to the application's handler.
  template <class F>
  void Guarded(F&& call);

  IExternalForm FExternalForm;
  bool FInCMDialogKey = false;
  bool FTransparent = false;
  bool FReparenting = false;
};

// ---- delayed destruction ------------------------------------------------------------------------------

// Frees an object once the current message handling is over: it posts itself 0xB021 on a
// private window and, on receiving it, frees the object and then itself.
class TDelayedDestroyer : public TObject {
 public:
  // Takes the object; when no private window can be made the object is freed at once.
  static void Schedule(TComponent* objectToDestroy);
  HWND Handle() const { return FHandle; }

 private:
  explicit TDelayedDestroyer(TComponent* objectToDestroy);
  ~TDelayedDestroyer() override;
  HWND FHandle = 0;
  TComponent* FObjectToDestroy;
};

// ---- handlers -----------------------------------------------------------------------------------------------

class TAbstractNotificationHandler : public TAbstractSupportService {
 public:
  virtual void HandleNotification(const INotification& notification) = 0;
  bool SupportsService(const std::string& serviceName) override;
  using TAbstractSupportService::SupportsService;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

using TNotificationHandlerCallback = std::function<void(const INotification& notification)>;

// Registered with the host's client from creation until its owner lets it go (`Unregister`,
// or its last release).
class TNotificationHandler : public TAbstractNotificationHandler {
 public:
  static ComPtr<TNotificationHandler> Create(TNotificationHandlerCallback handler);
  ~TNotificationHandler() override;

  bool Registered() const { return FRegistered; }
  // Unregisters now and drops the callback: nothing reaches the owner any more.
  void Unregister();
  void HandleNotification(const INotification& notification) override;

 private:
  explicit TNotificationHandler(TNotificationHandlerCallback handler) : FHandler(std::move(handler)) {}
  TNotificationHandlerCallback FHandler;
  IClient FClient;
  bool FRegistered = false;
};

class TAbstractTimerHandler : public TAbstractSupportService {
 public:
  virtual void HandleTimerEvent(uint32_t id) = 0;
  bool SupportsService(const std::string& serviceName) override;
  using TAbstractSupportService::SupportsService;

 protected:
  // 267: the id is read as a 64-bit integer and narrowed to 32 bits.
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

using THandleTimerEventCallback = std::function<void(uint32_t id)>;

// Added to the host's timer manager from creation (id 0 without a client or timer manager)
// until its owner lets it go (`Unregister`, or its last release), which removes it.
class TTimerHandler : public TAbstractTimerHandler {
 public:
  static ComPtr<TTimerHandler> Create(int32_t intervalMs, bool enabled, THandleTimerEventCallback handler);
  ~TTimerHandler() override;

  uint32_t TimerID() const { return FTimerID; }
  // EnableHandler (271) on the host's timer; nothing without a timer.
  void SetEnabled(bool enabled);
  // Removes the timer now and drops the callback.
  void Unregister();
  void HandleTimerEvent(uint32_t id) override;

 private:
  explicit TTimerHandler(THandleTimerEventCallback handler) : FHandler(std::move(handler)) {}
  uint32_t FTimerID = 0;
  THandleTimerEventCallback FHandler;
  ITimerManager FTimerManager;
};

}  // namespace tavix
