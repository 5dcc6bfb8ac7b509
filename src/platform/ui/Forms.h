// Forms (top-level or living in a foreign window), the module's application object and modal
// results.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "platform/ui/Controls.h"

namespace tavix {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter,
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int32_t;
enum : TModalResult {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
};

using TFormState = uint32_t;
enum : TFormState { fsCreating = 1, fsVisible = 2, fsShowing = 4, fsModal = 8, fsFirstShown = 16 };

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner = nullptr);
  ~TCustomForm() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  // Changing the border of a form with a window makes a new window.
  void SetBorderStyle(TFormBorderStyle value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition value) { FPosition = value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState value);
  TFormState FormState() const { return FFormState; }
  bool KeyPreview = false;

  // A form is visible while its window is shown: OnShow before it appears, OnHide before it
  // goes. The first showing places the form by its Position.
  void SetVisible(bool value) override;
  bool Showing() const override;
  // Brings the form up and activates it.
  void Show();
  // Shows the form and runs the message loop until ModalResult is set (by a button, Close or
  // the code), then hides it and answers the result. When the queue runs dry the modal-idle
  // handler of the window system acts for the user; without one, or when it gives up, the form
  // closes with mrCancel.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  // OnCloseQuery, then OnClose with the action (hide by default); a modal form ends its loop
  // with mrCancel instead.
  void Close();
  bool CloseQuery();
  // Frees the form from the message queue (CM_RELEASE to its window), once the current
  // message handling is over.
  void Release();

  TWinControl* ActiveControl() const { return FActiveControl; }
  // Makes the control the one that has (or will get) the focus in this form.
  void SetActiveControl(TWinControl* control);
  // Called when a control of the form receives the focus: OnExit of the old, OnEnter of the new.
  void SetFocusedControl(TWinControl* control);
  void SetFocus() override;
  bool Active() const;
  // A shown form is shown again in its new window.
  void RecreateWnd() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // After the constructors: OnCreate. Forms made with `NewForm` get Loaded and this.
  virtual void AfterConstruction();
  void BeforeDestruction() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  TRect FrameThickness() const override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void DescribeProperties(std::vector<std::string>& properties) const override;
  // The form's window appears (show) or goes (hide): OnShow/OnHide, placing, ShowWindow.
  virtual void ShowingChanged(bool show);
  // Places the form by its Position, on its first showing.
  virtual void PlaceByPosition();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  // The system menu of a dialog border offers no sizing, minimising or maximising.
  virtual void ModifySystemMenu();
  // The show command that goes with the window state.
  int32_t ShowCommand() const;
  void BorderStyleBits(uint32_t& style, uint32_t& exStyle) const;

 private:
  bool CloseModal();

  TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
  TPosition FPosition = TPosition::poDesigned;
  TWindowState FWindowState = TWindowState::wsNormal;
  TFormState FFormState = 0;
  TModalResult FModalResult = mrNone;
  TWinControl* FActiveControl = nullptr;
  bool FDestroyAnnounced = false;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

// A frame: a borderless container of controls built as a unit and placed inside a form (an
// options grid, a page of controls).
class TFrame : public TWinControl {
 public:
  explicit TFrame(TComponent* owner = nullptr) : TWinControl(owner) { SetBounds(0, 0, 320, 240); }
  bool ParentBackground = true;
};

// Makes a form, then runs its Loaded and AfterConstruction (OnCreate) as a streamed form gets
// them; a failure there frees the form and raises on.
template <class T, class... A>
T* NewForm(A&&... args) {
  T* form = new T(std::forward<A>(args)...);
  try {
    form->Loaded();
    form->AfterConstruction();
  } catch (...) {
    Free(form);
    throw;
  }
  return form;
}

// The module's application object: the dialog handle the host hands over, the handler of
// exceptions that escape message handling, and the message pump.
class TApplication {
 public:
  HWND DialogHandle() const { return FDialogHandle; }
  void SetDialogHandle(HWND window) { FDialogHandle = window; }
  // An exception that escaped an event or a message: OnException when set, else it is kept
  // as the last exception text (and counted) so that a host or a test can show it.
  void HandleException(std::exception_ptr error);
  std::function<void(const std::string& message)> OnException;
  const std::string& LastExceptionMessage() const { return FLastExceptionMessage; }
  int32_t ExceptionCount() const { return FExceptionCount; }
  void ClearExceptions() {
    FLastExceptionMessage.clear();
    FExceptionCount = 0;
  }
  // Runs the queued messages.
  void ProcessMessages() { os::ProcessMessages(); }

 private:
  HWND FDialogHandle = 0;
  std::string FLastExceptionMessage;
  int32_t FExceptionCount = 0;
};

TApplication& Application();

}  // namespace tavix
