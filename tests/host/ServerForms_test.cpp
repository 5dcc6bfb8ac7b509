// Server forms, views, the holder panel and the host handlers, driven as the host drives them:
// by DISPID, by keyboard and window messages, with recording host objects.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "../support/FakeHost.h"
#include "../support/Invoke.h"
#include "host/Opal.Classes.h"
#include "platform/os/Keyboard.h"
#include "platform/os/Shell.h"

namespace tavix {
namespace {

using ::testing::ElementsAre;
using test::TFakeHost;
using test::THostObject;
using testing::InvokeRaw;

// An automation object answering from a script over the raw call, so that a test can write
// by-reference arguments back as a host does.
class TScripted : public IDispatch {
 public:
  using TScript = std::function<HRESULT(DISPID, DISPPARAMS*, VARIANT*)>;
  static ComPtr<TScripted> Create(TScript script) { return ComPtr<TScripted>(new TScripted(std::move(script))); }
  std::vector<DISPID> Calls;

  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override {
    if (!(iid == IID_IUnknown) && !(iid == IID_IDispatch)) return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  int32_t TAVIX_STDCALL AddRef() override { return ++FRefs; }
  int32_t TAVIX_STDCALL Release() override {
    const int32_t n = --FRefs;
    if (n == 0) delete this;
    return n;
  }
  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t, LCID, void**) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID&, LCID, uint16_t, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO*, uint32_t*) override {
    Calls.push_back(id);
    return FScript(id, params, result);
  }

 private:
  explicit TScripted(TScript script) : FScript(std::move(script)) {}
  virtual ~TScripted() = default;
  TScript FScript;
  int32_t FRefs = 0;
};

// The host's timer manager: keeps a reference to each handler it holds, as a host must, and
// lets it go on removal. With KeepsReferences off it is a host that keeps none.
class TFakeTimerManager : public IDispatch {
 public:
  std::map<uint32_t, ComPtr<IDispatch>> Handlers;
  std::vector<std::string> Log;
  uint32_t NextId = 7;
  bool KeepsReferences = true;

  HRESULT Fire(uint32_t id, int64_t value) {
    const Variant argument = Variant::FromInt64(value);
    return InvokeRaw(Handlers.at(id).Get(), 267, {argument}).Code;
  }

  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override {
    if (!(iid == IID_IUnknown) && !(iid == IID_IDispatch)) return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  int32_t TAVIX_STDCALL AddRef() override { return 1; }  // owned by the test
  int32_t TAVIX_STDCALL Release() override { return 1; }
  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t, LCID, void**) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID&, LCID, uint16_t, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO*, uint32_t*) override {
    return GuardedCall([&] {
      const TDispArgs args(params);
      switch (id) {
        case 268: {
          const uint32_t timer = NextId++;
          if (KeepsReferences) Handlers[timer] = args.Object(0);
          Log.push_back("add " + std::to_string(args.Int(1)) + (args.Bool(2) ? " enabled" : " disabled"));
          SetResultInt(result, static_cast<int32_t>(timer));
          return S_OK;
        }
        case 269:
          Handlers.erase(args.Low32(0));
          Log.push_back("remove " + std::to_string(args.Int(0)));
          return S_OK;
        case 271:
          Log.push_back("enable " + std::to_string(args.Int(0)) + (args.Bool(1) ? " on" : " off"));
          return S_OK;
        default:
          return DISP_E_MEMBERNOTFOUND;
      }
    });
  }
};

class ServerFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    os::ResetWindowSystem();
    os::ReleaseAllKeys();
    os::TakeShellRequests();
    Application().ClearExceptions();
    Application().OnException = [this](const std::string& m) { Exceptions.push_back(m); };
  }
  void TearDown() override {
    os::ProcessMessages();
    Application().OnException = nullptr;
    os::ReleaseAllKeys();
    os::ResetWindowSystem();
    SetHelpNameHook(nullptr);
  }

  // A top-level window of the host with a procedure the test can watch.
  static HWND HostWindow(const std::string& name, os::TWindowProc proc = {}, TRect bounds = TRect::FromBounds(0, 0, 800, 600)) {
    os::TWindowCreateParams p;
    p.ClassName = name;
    p.Style = os::WS_OVERLAPPED | os::WS_VISIBLE;
    p.X = bounds.Left;
    p.Y = bounds.Top;
    p.Width = bounds.Width();
    p.Height = bounds.Height();
    p.Proc = std::move(proc);
    return os::CreateWindowEx(p);
  }

  // Help answers of the client API: 964 gives "Prefix" for any module, 963 an address for the
  // topics it knows.
  void InstallHelp(TFakeHost& host) {
    HelpApi = TScripted::Create([this](DISPID id, DISPPARAMS* params, VARIANT* result) -> HRESULT {
      const TDispArgs args(params);
      if (id == 964) {
        HelpModule = args.Str(0);
        SetResultString(result, "Prefix");
        return S_OK;
      }
      if (id == 963) {
        const std::string topic = args.Str(0);
        Topics.push_back(topic);
        const auto it = HelpPages.find(topic);
        if (it != HelpPages.end()) {
          BSTR* url = args.StrRef(1);
          SysFreeString(*url);
          *url = AllocBstr(it->second);
        }
        SetResultBool(result, it != HelpPages.end());
        return S_OK;
      }
      return DISP_E_MEMBERNOTFOUND;
    });
    host.Client->Returns(795, Variant::FromDispatch(HelpApi.Get()));
  }

  std::vector<std::string> Exceptions;
  ComPtr<TScripted> HelpApi;
  std::string HelpModule;
  std::vector<std::string> Topics;
  std::map<std::string, std::string> HelpPages;
};

// ---- help ---------------------------------------------------------------------------------------------

struct THelpForm {
  TOwned<TFormWithHelp> Form{NewForm<TFormWithHelp>(nullptr)};
  TPanel* Frame;
  TButton* Ok;
  TEdit* Unnamed;

  THelpForm() {
    Form->SetName("OptionsForm");
    Frame = new TPanel(Form.get());
    Frame->SetName("Panel_Frame");
    Frame->SetParent(Form.get());
    auto* inner = new TPanel(Form.get());
    inner->SetName("Inner");
    inner->SetParent(Frame);
    Ok = new TButton(Form.get());
    Ok->SetName("Button_OK");
    Ok->SetParent(inner);
    Unnamed = new TEdit(Form.get());
    Unnamed->SetParent(Form.get());
  }
};

TEST_F(ServerFormsTest, HelpTopicsNameTheFormAndTheControlsPath) {
  TFakeHost host;
  InstallHelp(host);
  THelpForm f;
  EXPECT_EQ(f.Form->GetHelpTopic(f.Form.get()), "Prefix.Dlg.OptionsForm");
  EXPECT_EQ(HelpModule, "test_host") << "the module's file name without extension";
  EXPECT_EQ(f.Form->GetHelpTopic(f.Ok), "Prefix.Dlg.OptionsForm.Panel_Frame.Inner.Button_OK");
  EXPECT_EQ(f.Form->GetHelpTopic(f.Unnamed), "Prefix.Dlg.OptionsForm.Edit") << "class name without its T";
  SetHelpNameHook([](TComponent* c) { return "[" + c->Name() + "]"; });
  EXPECT_EQ(f.Form->GetHelpTopic(f.Ok), "Prefix.Dlg.OptionsForm.[Panel_Frame].[Inner].[Button_OK]");

  std::string url;
  EXPECT_FALSE(f.Form->GetHelpURL(nullptr, url));
  EXPECT_FALSE(f.Form->GetHelpURL(f.Ok, url)) << "no page for the topic";
}

TEST_F(ServerFormsTest, F1OpensTheHelpPageAndTheFollowingHelpRequestIsIgnoredOnce) {
  TFakeHost host;
  InstallHelp(host);
  HelpPages["Prefix.Dlg.OptionsForm.Panel_Frame.Inner.Button_OK"] = "https://help.example/ok";
  THelpForm f;
  f.Form->Show();
  f.Ok->SetFocus();
  os::KeyDown(os::VK_F1);
  os::ProcessMessages();
  auto requests = os::TakeShellRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Verb, "open");
  EXPECT_EQ(requests[0].Target, "https://help.example/ok");
  EXPECT_EQ(requests[0].ShowMode, os::SW_SHOWNORMAL);
  EXPECT_TRUE(f.Form->IgnoreWhatsThis());

  os::HELPINFO info;
  info.hItemHandle = f.Ok->Handle();
  os::SendMessage(f.Form->Handle(), os::WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_TRUE(os::TakeShellRequests().empty()) << "the request after F1 only clears the flag";
  EXPECT_FALSE(f.Form->IgnoreWhatsThis());
  EXPECT_TRUE(host.GUIManager->CallsOf(164).empty());

  os::SendMessage(f.Form->Handle(), os::WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(os::TakeShellRequests().size(), 1u);
  ASSERT_EQ(host.GUIManager->CallsOf(164).size(), 1u);
  EXPECT_EQ(host.GUIManager->CallsOf(164)[0].Int(0), -1) << "the status bar is reset before the lookup";
}

struct TModifierCase {
  const char* Name;
  int32_t Key;
  bool Alt, Shift, Ctrl;
};

class HelpModifierTest : public ServerFormsTest, public ::testing::WithParamInterface<TModifierCase> {};

TEST_P(HelpModifierTest, F1WithAModifierIsAShortcutNotHelp) {
  TFakeHost host;
  InstallHelp(host);
  HelpPages["Prefix.Dlg.OptionsForm.Panel_Frame.Inner.Button_OK"] = "https://help.example/ok";
  host.GUIManager->Returns(158, Variant::FromBool(true));
  THelpForm f;
  f.Form->Show();
  f.Ok->SetFocus();
  os::SetKeyDown(GetParam().Key, true);
  os::KeyDown(os::VK_F1);
  os::ProcessMessages();
  EXPECT_TRUE(os::TakeShellRequests().empty());
  const auto offered = host.GUIManager->CallsOf(158);
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0].Int(0), os::VK_F1);
  EXPECT_EQ(offered[0].Bool(1), GetParam().Alt);
  EXPECT_EQ(offered[0].Bool(2), GetParam().Shift);
  EXPECT_EQ(offered[0].Bool(3), GetParam().Ctrl);
  EXPECT_EQ(host.GUIManager->CallsOf(156).size(), 1u) << "the host knew the shortcut and ran it";
}

INSTANTIATE_TEST_SUITE_P(Modifiers, HelpModifierTest,
                         ::testing::Values(TModifierCase{"Ctrl", os::VK_CONTROL, false, false, true},
                                           TModifierCase{"Shift", os::VK_SHIFT, false, true, false},
                                           TModifierCase{"Alt", os::VK_MENU, true, false, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ServerFormsTest, HelpWithoutAClientDoesNothing) {
  THelpForm f;
  f.Form->Show();
  f.Ok->SetFocus();
  os::KeyDown(os::VK_F1);
  os::ProcessMessages();
  EXPECT_TRUE(os::TakeShellRequests().empty());
  EXPECT_TRUE(Exceptions.empty());
}

// ---- view forms ---------------------------------------------------------------------------------------------

TEST_F(ServerFormsTest, ViewFormsWantAllKeysAndOfferThemToTheHost) {
  TFakeHost host;
  host.GUIManager->On(158, [](const std::vector<Variant>& a) { return Variant::FromBool(a[0].AsInt() == 'S'); });
  TOwned<TServerViewForm> form{NewForm<TServerViewForm>(nullptr)};
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  std::vector<int> formKeys;
  form->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { formKeys.push_back(key); };
  form->Show();
  EXPECT_EQ(os::SendMessage(form->Handle(), os::WM_GETDLGCODE, 0, 0), 7);

  os::SetFocus(form->Handle());
  os::KeyDown('S');  // a host shortcut: the host runs it
  os::KeyDown('Q');  // not one: the form has it
  edit->SetFocus();
  os::SysKeyDown('X');  // a system key in a child reaches the form and the host
  os::ProcessMessages();
  std::vector<int> offered;
  for (const auto& call : host.GUIManager->CallsOf(158)) offered.push_back(call.Int(0));
  EXPECT_THAT(offered, ElementsAre('S', 'Q', 'X'));
  EXPECT_EQ(host.GUIManager->CallsOf(156).size(), 1u);
  EXPECT_THAT(formKeys, ElementsAre('Q', 'X')) << "keys the host does not take stay the form's";
}

// ---- dialogs --------------------------------------------------------------------------------------------------

class TSizeableDialog : public TServerDialog {
 public:
  explicit TSizeableDialog(TComponent* owner) : TServerDialog(owner) {
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetBounds(0, 0, 501, 301);
  }
};

class TFixedDialog : public TServerDialog {
 public:
  explicit TFixedDialog(TComponent* owner) : TServerDialog(owner) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBounds(0, 0, 501, 301);
  }
};

TEST_F(ServerFormsTest, DialogIsCentredOnTheMonitorNearestTheActiveWindow) {
  os::SetMonitors({{TRect{0, 0, 1920, 1080}, TRect{0, 0, 1920, 1040}, true},
                   {TRect{-1280, 0, 0, 1024}, TRect{-1280, 0, 0, 1000}, false}});
  struct Case {
    const char* Name;
    TRect Active;  // empty: no active window
    int32_t Left, Top;
  } cases[] = {
      {"none", TRect(), (0 + 1920 - 501) / 2, (0 + 1080 - 301) / 2},
      {"primary", TRect::FromBounds(100, 100, 400, 300), 709, 389},
      {"second", TRect::FromBounds(-1000, 50, 400, 300), -890, 361},  // (-1280 + 0 - 501) / 2 = -890.5
  };
  for (const Case& c : cases) {
    HWND active = 0;
    if (!c.Active.IsEmpty()) active = HostWindow("Active", {}, c.Active);
    TOwned<TFixedDialog> dialog{NewForm<TFixedDialog>(nullptr)};
    EXPECT_EQ(dialog->Left(), c.Left) << c.Name;
    EXPECT_EQ(dialog->Top(), c.Top) << c.Name;
    dialog.reset();
    if (active) os::DestroyWindow(active);
  }
}

TEST_F(ServerFormsTest, DialogWindowBelongsToTheHostsMainWindow) {
  const HWND main = HostWindow("HostMain");
  {
    TFakeHost host;
    host.Client->Returns(492, Variant::FromInt(main));
    TOwned<TFixedDialog> dialog{NewForm<TFixedDialog>(nullptr)};
    EXPECT_EQ(os::GetWindowOwner(dialog->Handle()), main);
  }
  TOwned<TFixedDialog> alone{NewForm<TFixedDialog>(nullptr)};
  EXPECT_EQ(os::GetWindowOwner(alone->Handle()), 0) << "no client, no owner";
}

TEST_F(ServerFormsTest, SizeableDialogKeepsItsSizingUnderADialogBorder) {
  TOwned<TSizeableDialog> sizeable{NewForm<TSizeableDialog>(nullptr)};
  TOwned<TFixedDialog> fixed{NewForm<TFixedDialog>(nullptr)};
  EXPECT_TRUE(sizeable->SizeableDialog());
  EXPECT_EQ(sizeable->BorderStyle(), TFormBorderStyle::bsDialog);
  EXPECT_EQ(sizeable->Color(), clBtnFace);
  EXPECT_FALSE(fixed->SizeableDialog());
  EXPECT_TRUE(os::GetWindowStyle(sizeable->Handle()) & os::WS_THICKFRAME);
  EXPECT_FALSE(os::GetWindowStyle(fixed->Handle()) & os::WS_THICKFRAME);
  const auto menu = os::GetSystemMenuCommands(sizeable->Handle());
  EXPECT_NE(std::find(menu.begin(), menu.end(), os::SC_SIZE), menu.end()) << "sizing stays in the system menu";
  EXPECT_EQ(sizeable->ClientWidth(), 501 - 2 * os::SM_CXSIZEFRAME_PX);
}

TEST_F(ServerFormsTest, DialogShowsItselfWhereItWasPlacedAndSurvivesAFailingOnShow) {
  TOwned<TFixedDialog> dialog{NewForm<TFixedDialog>(nullptr)};
  dialog->SetPosition(TPosition::poScreenCenter);
  dialog->SetBounds(5, 6, 501, 301);
  dialog->OnShow = [](TObject*) { throw std::runtime_error("OnShow failed"); };
  dialog->Show();
  EXPECT_TRUE(dialog->Showing());
  EXPECT_EQ(dialog->Left(), 5) << "not moved to the screen centre";
  EXPECT_THAT(Exceptions, ElementsAre("OnShow failed"));
}

// ---- panel forms ---------------------------------------------------------------------------------------------

TEST_F(ServerFormsTest, PanelFormTimerLivesExactlyAsLongAsTheForm) {
  TFakeTimerManager timers;  // outlives the host that hands it out
  TFakeHost host;
  host.Client->Returns(531, Variant::FromDispatch(&timers));
  auto* form = NewForm<TServerPanelForm>(nullptr);
  ASSERT_EQ(form->TimerHandler()->TimerID(), 7u);
  EXPECT_THAT(timers.Log, ElementsAre("add 500 disabled"));
  EXPECT_EQ(timers.Fire(7, 7), S_OK) << "a tick reaches TimerTick";
  Free(form);
  EXPECT_THAT(timers.Log, ElementsAre("add 500 disabled", "remove 7"));
  EXPECT_TRUE(timers.Handlers.empty()) << "the host let the handler go";
}

TEST_F(ServerFormsTest, PanelFormErasesThroughItsHoldersWindowAndAnnouncesCaptions) {
  std::vector<std::string> holderSaw;
  TServerPanelForm* formPtr = nullptr;
  const HWND holderWindow = HostWindow("HolderWindow", [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == os::WM_ERASEBKGND) {
      holderSaw.push_back("erase dc=" + std::to_string(w) + " buffered=" + (formPtr->DoubleBuffered ? "yes" : "no"));
      os::OffsetWindowOrg(static_cast<HDC>(w), 3, 3);  // the holder may change the context freely
    }
    return os::DefWindowProc(h, m, w, l);
  });
  auto holder = THostObject::Create("Holder");
  holder->Returns(69, Variant::FromInt(holderWindow)).Accepts(71);
  TOwned<TServerPanelForm> form{NewForm<TServerPanelForm>(nullptr)};
  formPtr = form.get();
  form->DoubleBuffered = true;
  form->Show();

  const HDC dc = os::CreateDC();
  EXPECT_EQ(os::SendMessage(form->Handle(), os::WM_ERASEBKGND, dc, 0), 1);
  EXPECT_TRUE(holderSaw.empty()) << "no holder yet: the form erases itself";

  form->SetParentWindowHolder(IExternalFormHolder(holder.Get()));
  EXPECT_EQ(os::SendMessage(form->Handle(), os::WM_ERASEBKGND, dc, 0), 1);
  EXPECT_THAT(holderSaw, ElementsAre("erase dc=" + std::to_string(dc) + " buffered=no"));
  EXPECT_TRUE(form->DoubleBuffered) << "restored";
  EXPECT_EQ(os::GetWindowOrg(dc), (TPoint{0, 0})) << "the context is restored";

  holder->ClearCalls();
  form->SetCaption("Hard Device Pin States");
  EXPECT_EQ(os::GetWindowText(holderWindow), "Hard Device Pin States");
  ASSERT_EQ(holder->Calls().size(), 2u);
  EXPECT_EQ(holder->Calls()[0].Id, 69);
  EXPECT_EQ(holder->Calls()[1].Id, 71) << "announced after the text is copied";
  os::DeleteDC(dc);
}

// ---- external forms and views -------------------------------------------------------------------------------

ComPtr<TExternalForm> MakeExternalForm(TCustomForm* form, bool force = false) {
  return ComPtr<TExternalForm>(new TExternalForm(form, force));
}

TEST_F(ServerFormsTest, ExternalFormAnswersItsServicesAndUnknownDispids) {
  auto view = MakeExternalForm(NewForm<TForm>(nullptr), true);
  auto ask = [&](const char* name) {
    return InvokeRaw(view->AsDispatch(), 1023, {Variant::FromString(name)}).Value.AsBool();
  };
  EXPECT_TRUE(ask("externalform"));
  EXPECT_FALSE(ask("ServerView"));
  EXPECT_EQ(InvokeRaw(view->AsDispatch(), 48).Code, E_NOTIMPL);
  EXPECT_EQ(InvokeRaw(view->AsDispatch(), 52).Code, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeRaw(view->AsDispatch(), 52, std::vector<Variant>(4, Variant::FromInt(1))).Code, DISP_E_TYPEMISMATCH)
      << "the bounds come back through references";
  EXPECT_EQ(view->Form()->BorderStyle(), TFormBorderStyle::bsNone);
}

TEST_F(ServerFormsTest, ExternalFormFollowsTheHostsHolder) {
  const HWND frame = HostWindow("HostPanel");
  auto holder = THostObject::Create("Holder");
  holder->Returns(69, Variant::FromInt(frame));
  auto* form = NewForm<TForm>(nullptr);
  form->SetCaption("Pins");
  form->SetBounds(10, 20, 300, 200);
  auto* first = new TButton(form);
  first->SetParent(form);
  first->SetTabStop(false);
  auto* second = new TButton(form);
  second->SetParent(form);
  std::vector<std::string> events;
  form->OnHide = [&](TObject*) { events.push_back("hide"); };
  auto view = MakeExternalForm(form, true);
  IDispatch* d = view->AsDispatch();

  EXPECT_EQ(InvokeRaw(d, 49, {Variant::FromDispatch(holder.Get())}).Code, S_OK);
  EXPECT_EQ(InvokeRaw(d, 50).Code, S_OK);
  ASSERT_TRUE(form->HandleAllocated());
  EXPECT_EQ(os::GetParent(form->Handle()), frame);
  EXPECT_TRUE(os::IsWindowVisible(form->Handle()));
  EXPECT_EQ(form->BoundsRect(), TRect::FromBounds(10, 20, 300, 200));

  int32_t l = -1, t = -1, w = -1, h = -1;
  std::vector<Variant> refs(4);
  int32_t* targets[] = {&l, &t, &w, &h};
  for (int i = 0; i < 4; ++i) {
    refs[static_cast<size_t>(i)].Out()->vt = VT_I4 | VT_BYREF;
    const_cast<VARIANT&>(refs[static_cast<size_t>(i)].Raw()).plVal = targets[i];
  }
  EXPECT_EQ(InvokeRaw(d, 52, refs).Code, S_OK);
  for (auto& r : refs) r.Detach();  // the targets belong to the test
  EXPECT_EQ((std::vector<int32_t>{l, t, w, h}), (std::vector<int32_t>{10, 20, 300, 200}));
  EXPECT_EQ(InvokeRaw(d, 53).Value.AsString(), "Pins");
  EXPECT_EQ(InvokeRaw(d, 54).Value.AsInt(), form->Handle());
  InvokeRaw(d, 56, {Variant::FromInt(0), Variant::FromInt(0), Variant::FromInt(640), Variant::FromInt(480)});
  EXPECT_EQ(os::GetWindowBounds(form->Handle()), TRect::FromBounds(0, 0, 640, 480));
  InvokeRaw(d, 59);
  EXPECT_TRUE(second->Focused()) << "the first control in tab order with a tab stop";
  InvokeRaw(d, 55);
  EXPECT_FALSE(form->Visible());
  InvokeRaw(d, 58);
  EXPECT_TRUE(form->Showing());
  events.clear();

  const HWND old = form->Handle();
  EXPECT_EQ(InvokeRaw(d, 49, {Variant::FromDispatch(nullptr)}).Code, S_OK) << "no holder: the parent window is gone";
  EXPECT_THAT(events, ElementsAre("hide"));
  EXPECT_FALSE(os::IsWindow(old));
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->ParentWindow(), 0);
  EXPECT_EQ(InvokeRaw(d, 50).Code, S_OK);
  EXPECT_FALSE(form->Visible()) << "created without a holder: stays hidden";
}

TEST_F(ServerFormsTest, AFailingOperationAnswersAnErrorAndTheHostCarriesOn) {
  auto* form = NewForm<TForm>(nullptr);
  form->OnHide = [](TObject*) { throw std::runtime_error("broken"); };
  auto view = MakeExternalForm(form, true);
  EXPECT_EQ(InvokeRaw(view->AsDispatch(), 51).Code, E_UNEXPECTED);
  EXPECT_EQ(InvokeRaw(view->AsDispatch(), 53).Code, S_OK);
}

struct TDestroyCase {
  const char* Name;
  bool Client;
  bool AtOnceQuery;  // the client's answer to 504
  bool Force;
  bool Window;
  bool FreedAtOnce;
};

class ExternalFormDestroyTest : public ServerFormsTest, public ::testing::WithParamInterface<TDestroyCase> {};

TEST_P(ExternalFormDestroyTest, TheFormGoesAtOnceOrThroughTheQueue) {
  const TDestroyCase& c = GetParam();
  std::unique_ptr<TFakeHost> host;
  if (c.Client) {
    host = std::make_unique<TFakeHost>();
    host->Client->Returns(504, Variant::FromBool(c.AtOnceQuery));
  }
  auto* form = NewForm<TForm>(nullptr);
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  if (c.Window) form->HandleNeeded();
  {
    auto view = MakeExternalForm(form, c.Force);
  }
  EXPECT_EQ(destroyed, c.FreedAtOnce);
  if (!c.FreedAtOnce && !c.Window) {
    bool destroyerWindow = false;
    for (HWND h : os::GetTopLevelWindows()) destroyerWindow |= os::GetClassName(h) == "TDelayedDestroyer";
    EXPECT_TRUE(destroyerWindow);
  }
  os::ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(os::GetTopLevelWindows().empty()) << "nothing left behind, the destroyer included";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExternalFormDestroyTest,
    ::testing::Values(TDestroyCase{"NoClient", false, false, false, true, true},
                      TDestroyCase{"ClientSaysAtOnce", true, true, false, true, true},
                      TDestroyCase{"Forced", true, false, true, true, true},
                      TDestroyCase{"WithWindowThroughTheQueue", true, false, false, true, false},
                      TDestroyCase{"WithoutWindowByTheDestroyer", true, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ServerFormsTest, AViewWhoseFormWasFreedElsewhereStaysSafe) {
  auto* form = NewForm<TForm>(nullptr);
  auto view = MakeExternalForm(form, true);
  Free(form);
  EXPECT_EQ(view->Form(), nullptr);
  EXPECT_EQ(InvokeRaw(view->AsDispatch(), 53).Value.AsString(), "");
  EXPECT_EQ(InvokeRaw(view->AsDispatch(), 58).Code, S_OK);
}

class TStatefulView : public TServerPanelView {
 public:
  using TServerPanelView::TServerPanelView;
  std::string SaveState() override { return "Columns=3"; }
};

TEST_F(ServerFormsTest, ServerViewsAnswerTheirDefaults) {
  auto* panel = NewForm<TServerPanelForm>(nullptr);
  ComPtr<TStatefulView> view(new TStatefulView("HardDeviceViewer_PinPanels_1", panel));
  IDispatch* d = view->AsDispatch();
  EXPECT_EQ(panel->PanelName(), "HardDeviceViewer_PinPanels_1");
  for (const char* service : {"ServerView", "DragDropTarget", "ExternalForm"})
    EXPECT_TRUE(InvokeRaw(d, 1023, {Variant::FromString(service)}).Value.AsBool()) << service;
  EXPECT_TRUE(InvokeRaw(d, 60).Value.AsBool());
  EXPECT_EQ(InvokeRaw(d, 61).Value.AsString(), "HardDeviceViewer_PinPanels_1");
  EXPECT_EQ(InvokeRaw(d, 62).Value.AsString(), "Columns=3");
  EXPECT_EQ(InvokeRaw(d, 65, {Variant::FromInt(0)}).Value.AsString(), "Columns=3");
  EXPECT_EQ(InvokeRaw(d, 63, {Variant::FromString("x")}).Code, S_OK);
  EXPECT_EQ(InvokeRaw(d, 66, {Variant::FromString("x")}).Code, S_OK);

  auto drag = THostObject::Create("DragDrop");
  drag->Accepts(6);
  EXPECT_EQ(InvokeRaw(d, 9, {Variant::FromDispatch(drag.Get())}).Code, S_OK);
  ASSERT_EQ(drag->CallsOf(6).size(), 1u);
  EXPECT_EQ(drag->CallsOf(6)[0].Int(0), IDC_NO);
  for (DISPID id : {10, 11, 12}) EXPECT_EQ(InvokeRaw(d, id, {Variant::FromDispatch(drag.Get())}).Code, S_OK);
  EXPECT_EQ(drag->Calls().size(), 1u) << "10 to 12 do nothing";
  EXPECT_FALSE(InvokeRaw(d, 13, {Variant::FromDispatch(drag.Get()), Variant::FromInt(1), Variant::FromInt(2)}).Value.AsBool());

  auto holder = THostObject::Create("Holder");
  holder->Returns(69, Variant::FromInt(0));
  InvokeRaw(d, 49, {Variant::FromDispatch(holder.Get())});
  EXPECT_EQ(panel->ParentWindowHolder().Dispatch(), holder.Get()) << "the panel form gets the holder";
  InvokeRaw(d, 49, {Variant::FromDispatch(nullptr)});
  EXPECT_TRUE(panel->ParentWindowHolder().Empty());
}

// ---- the holder panel ------------------------------------------------------------------------------------------

// A foreign external form: records the calls in order and answers its caption and window.
ComPtr<THostObject> ForeignForm(const std::string& name, test::TCallLog log, HWND window = 0) {
  auto form = THostObject::Create(name, log);
  form->Returns(53, Variant::FromString(name + " caption")).Returns(54, Variant::FromInt(window));
  for (DISPID id : {49, 50, 51, 55, 56, 57, 58, 59}) form->Accepts(id);
  return form;
}

std::vector<std::string> CallsOf(const test::TCallLog& log) {
  std::vector<std::string> out;
  for (const auto& call : *log) out.push_back(call.Object + ":" + std::to_string(call.Id));
  return out;
}

struct THolderForm {
  TOwned<TForm> Form{NewForm<TForm>(nullptr)};
  TExternalFormComponent* Holder;
  THolderForm() {
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(0, 0, 400, 300);
    Holder = new TExternalFormComponent(Form.get());
    Holder->SetName("Holder");
    Holder->SetBounds(10, 20, 200, 100);
    Holder->SetParent(Form.get());
  }
};

TEST_F(ServerFormsTest, HolderAnswersItsContractAndNothingElse) {
  THolderForm h;
  IDispatch* d = h.Holder->AsDispatch();
  EXPECT_EQ(InvokeRaw(d, 69).Value.AsInt(), 0) << "no window yet";
  h.Form->Show();
  EXPECT_EQ(InvokeRaw(d, 69).Value.AsInt(), h.Holder->Handle());
  EXPECT_EQ(InvokeRaw(d, 70, {Variant::FromInt(1234)}).Code, S_OK);
  EXPECT_EQ(Application().DialogHandle(), 1234);
  EXPECT_EQ(InvokeRaw(d, 71).Code, S_OK);
  EXPECT_TRUE(InvokeRaw(d, 1023, {Variant::FromString("ExternalFormHolder")}).Value.AsBool());
  EXPECT_FALSE(InvokeRaw(d, 1023, {Variant::FromString("ExternalForm")}).Value.AsBool());
  for (DISPID id : {49, 68, 72, 266}) EXPECT_EQ(InvokeRaw(d, id).Code, E_NOTIMPL) << id;
  uint32_t count = 0;
  EXPECT_EQ(d->GetTypeInfoCount(&count), E_NOTIMPL);
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), E_NOTIMPL);
  Application().SetDialogHandle(0);
}

TEST_F(ServerFormsTest, HolderEmbedsSwitchesAndReleasesForms) {
  THolderForm h;
  h.Form->Show();
  auto log = std::make_shared<std::vector<test::THostCall>>();
  auto a = ForeignForm("A", log);
  auto b = ForeignForm("B", log);
  auto c = ForeignForm("C", log);

  h.Holder->SetExternalForm(IExternalForm(a.Get()));
  EXPECT_THAT(CallsOf(log), ElementsAre("A:53", "A:49", "A:56", "A:50"));
  EXPECT_EQ(a->CallsOf(49)[0].Args[0].AsDispatch().Get(), h.Holder->AsDispatch()) << "the panel is the holder";
  EXPECT_EQ(h.Holder->Caption(), "A caption");
  EXPECT_EQ(a->CallsOf(56)[0].Int(2), 200);
  log->clear();

  h.Holder->SetExternalForm(IExternalForm(a.Get()));
  EXPECT_TRUE(log->empty()) << "the same form again: nothing, no 51";

  h.Holder->SetExternalForm(IExternalForm(b.Get()));
  EXPECT_THAT(CallsOf(log), ElementsAre("A:51", "B:53", "B:49", "B:56", "B:50"));
  log->clear();

  h.Holder->SetBounds(10, 20, 250, 120);
  EXPECT_THAT(CallsOf(log), ElementsAre("B:56"));
  EXPECT_EQ(b->CallsOf(56).back().Int(2), 250);
  EXPECT_EQ(b->CallsOf(56).back().Int(3), 120);
  log->clear();

  h.Holder->SwitchExternalForm(IExternalForm(c.Get()));
  EXPECT_THAT(CallsOf(log), ElementsAre("C:49", "C:56", "C:50", "C:58", "C:53"));

  // The holder is not counted: what recorded its reference lets go of it before it goes.
  log->clear();
  for (auto* form : {a.Get(), b.Get(), c.Get()}) form->ClearCalls();
  Free(h.Holder);
  EXPECT_THAT(CallsOf(log), ElementsAre("C:55", "C:51", "C:49"));
  EXPECT_EQ(log->back().Args[0].Type(), VT_DISPATCH);
  EXPECT_EQ(log->back().Args[0].Raw().pdispVal, nullptr) << "an empty holder at the end";
}

TEST_F(ServerFormsTest, HolderEmbedsAModuleFormThatFillsIt) {
  THolderForm h;
  h.Form->Show();
  auto* inner = NewForm<TForm>(nullptr);
  inner->SetCaption("Embedded");
  auto view = MakeExternalForm(inner, true);
  h.Holder->SetExternalForm(IExternalForm(view->AsDispatch()));
  ASSERT_TRUE(inner->HandleAllocated());
  EXPECT_EQ(os::GetParent(inner->Handle()), h.Holder->Handle());
  EXPECT_TRUE(os::IsWindowVisible(inner->Handle()));
  EXPECT_EQ(inner->BoundsRect(), TRect::FromBounds(0, 0, 200, 100));
  EXPECT_EQ(h.Holder->Caption(), "Embedded");
  h.Holder->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(inner->BoundsRect(), TRect::FromBounds(0, 0, 300, 150));
  Free(h.Holder);
  EXPECT_FALSE(inner->HandleAllocated()) << "the panel's end takes the form out of it";
  EXPECT_FALSE(inner->Visible());
}

TEST_F(ServerFormsTest, HolderActivationFocusesTheFormThenTellsItsOwner) {
  THolderForm h;
  auto log = std::make_shared<std::vector<test::THostCall>>();
  auto a = ForeignForm("A", log);
  std::vector<std::string> order;
  h.Holder->OnActivate = [&](TObject*) { order.push_back("activate after " + std::to_string(log->size()) + " calls"); };
  h.Form->Show();
  h.Holder->SetExternalForm(IExternalForm(a.Get()));
  log->clear();
  h.Holder->SetFocus();
  EXPECT_THAT(CallsOf(log), ElementsAre("A:57"));
  EXPECT_THAT(order, ElementsAre("activate after 1 calls"));
}

TEST_F(ServerFormsTest, HolderPassesKeyQueriesToTheFormAndForwardsTabOnce) {
  THolderForm h;
  const HWND formWindow = HostWindow("ForeignForm", [](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == os::WM_GETDLGCODE) return 0x55;
    if (m == CM_WANTSPECIALKEY) return w == os::VK_RETURN ? 1 : 0;
    return os::DefWindowProc(hw, m, w, l);
  });
  auto log = std::make_shared<std::vector<test::THostCall>>();
  auto a = ForeignForm("A", log, formWindow);
  h.Form->Show();
  h.Holder->SetExternalForm(IExternalForm(a.Get()));
  EXPECT_EQ(h.Holder->Perform(os::WM_GETDLGCODE), 0x55);
  EXPECT_EQ(h.Holder->Perform(CM_WANTSPECIALKEY, os::VK_RETURN), 1);

  int dialogKeysAtForm = 0;
  const HWND outer = h.Form->Handle();
  os::TWindowProc original = os::GetWindowProc(outer);
  os::SetWindowProc(outer, [&, original](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == CM_DIALOGKEY) ++dialogKeysAtForm;
    return original(hw, m, w, l);
  });
  os::SetKeyDown(os::VK_CONTROL, true);  // Ctrl+Tab: the form does not take it, it reaches the panel
  EXPECT_EQ(h.Holder->Perform(CM_DIALOGKEY, os::VK_TAB, 0), 0);
  EXPECT_EQ(dialogKeysAtForm, 1) << "sent once, and the broadcast that comes back is not sent again";
  dialogKeysAtForm = 0;
  h.Holder->Perform(CM_DIALOGKEY, os::VK_TAB, os::KF_ALTDOWN_BIT);
  EXPECT_EQ(dialogKeysAtForm, 0) << "not with Alt";
}

TEST_F(ServerFormsTest, TransparentHolderLetsItsParentPaintUnderIt) {
  THolderForm h;
  std::vector<std::string> parentSaw;
  h.Form->Show();
  const HWND outer = h.Form->Handle();
  os::TWindowProc original = os::GetWindowProc(outer);
  os::SetWindowProc(outer, [&, original](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == os::WM_ERASEBKGND || m == os::WM_PAINT) {
      const TPoint org = os::GetWindowOrg(static_cast<HDC>(w));
      parentSaw.push_back((m == os::WM_PAINT ? "paint " : "erase ") + std::to_string(org.X) + "," + std::to_string(org.Y));
    }
    return original(hw, m, w, l);
  });
  EXPECT_EQ(os::SendMessage(h.Holder->Handle(), TExternalFormComponent::WM_SETTRANSPARENT, 1, 0), 1);
  EXPECT_TRUE(h.Holder->Transparent());
  const HDC dc = os::CreateDC();
  EXPECT_EQ(os::SendMessage(h.Holder->Handle(), os::WM_ERASEBKGND, dc, 0), 1);
  EXPECT_THAT(parentSaw, ElementsAre("erase 10,20", "paint 10,20"));
  EXPECT_EQ(os::GetWindowOrg(dc), (TPoint{0, 0}));
  os::SendMessage(h.Holder->Handle(), TExternalFormComponent::WM_SETTRANSPARENT, 0, 0);
  EXPECT_FALSE(h.Holder->Transparent());
  os::DeleteDC(dc);
}

// ---- handlers -------------------------------------------------------------------------------------------------

TEST_F(ServerFormsTest, TimerHandlerWithoutAClientHasNoTimerAndRemovesNothing) {
  int ticks = 0;
  auto handler = TTimerHandler::Create(100, true, [&](uint32_t) { ++ticks; });
  EXPECT_EQ(handler->TimerID(), 0u);
  handler->SetEnabled(true);
  EXPECT_EQ(InvokeRaw(handler->AsDispatch(), 267, {Variant::FromInt(0)}).Code, S_OK);
  EXPECT_EQ(ticks, 1) << "a direct call still reaches the callback";
  handler.Reset();  // destruction with no timer: no host call (there is no host to call)
}

TEST_F(ServerFormsTest, TimerHandlerIsAddedOnCreationAndRemovedWhenItsOwnerLetsGo) {
  TFakeTimerManager timers;  // outlives the host that hands it out
  TFakeHost host;
  host.Client->Returns(531, Variant::FromDispatch(&timers));
  std::vector<uint32_t> ticks;
  auto handler = TTimerHandler::Create(1000, true, [&](uint32_t id) { ticks.push_back(id); });
  EXPECT_EQ(handler->TimerID(), 7u);
  EXPECT_THAT(timers.Log, ElementsAre("add 1000 enabled"));
  EXPECT_EQ(timers.Fire(7, (int64_t(1) << 32) | 7), S_OK);
  EXPECT_THAT(ticks, ElementsAre(7u)) << "the id is read as 64 bits and narrowed";
  handler->SetEnabled(false);
  handler->Unregister();
  EXPECT_THAT(timers.Log, ElementsAre("add 1000 enabled", "enable 7 off", "remove 7"));
  EXPECT_TRUE(timers.Handlers.empty());
  EXPECT_EQ(handler->RefCount(), 1) << "only the owner holds it now";
  handler.Reset();
  EXPECT_EQ(timers.Log.size(), 3u) << "removed once";
}

TEST_F(ServerFormsTest, TimerHandlerReleasedByItsOwnerRemovesItsTimer) {
  TFakeTimerManager timers;  // outlives the host that hands it out
  TFakeHost host;
  timers.KeepsReferences = false;  // a host that keeps no reference
  host.Client->Returns(531, Variant::FromDispatch(&timers));
  auto handler = TTimerHandler::Create(100, false, nullptr);
  handler.Reset();
  EXPECT_THAT(timers.Log, ElementsAre("add 100 disabled", "remove 7"));
}

TEST_F(ServerFormsTest, TimerCallbackFailureIsTheCallsError) {
  auto handler = TTimerHandler::Create(100, true, [](uint32_t) { throw std::runtime_error("tick failed"); });
  EXPECT_EQ(InvokeRaw(handler->AsDispatch(), 267, {Variant::FromInt(1)}).Code, E_UNEXPECTED);
  EXPECT_TRUE(InvokeRaw(handler->AsDispatch(), 1023, {Variant::FromString("TimerHandler")}).Value.AsBool());
}

TEST_F(ServerFormsTest, NotificationHandlerIsRegisteredForItsLifetime) {
  std::vector<std::string> seen;
  {
    auto none = TNotificationHandler::Create([&](const INotification&) { seen.push_back("x"); });
    EXPECT_FALSE(none->Registered());
  }
  TFakeHost host;
  host.Client->Accepts(527).Accepts(528);
  auto handler = TNotificationHandler::Create([&](const INotification& n) {
    seen.push_back(n.GetCategory() + "/" + std::to_string(n.GetCode()));
  });
  ASSERT_EQ(host.Client->CallsOf(527).size(), 1u);
  EXPECT_EQ(host.Client->CallsOf(527)[0].Args[0].AsDispatch().Get(), handler->AsDispatch());
  EXPECT_TRUE(InvokeRaw(handler->AsDispatch(), 1023, {Variant::FromString("NotificationHandler")}).Value.AsBool());

  auto notification = THostObject::Create("Notification");
  notification->Returns(723, Variant::FromString("corvane.opal.tavix")).Returns(1851, Variant::FromInt(3));
  EXPECT_EQ(InvokeRaw(handler->AsDispatch(), 266, {Variant::FromDispatch(notification.Get())}).Code, S_OK);
  EXPECT_THAT(seen, ElementsAre("corvane.opal.tavix/3"));

  handler->Unregister();
  ASSERT_EQ(host.Client->CallsOf(528).size(), 1u);
  EXPECT_EQ(InvokeRaw(handler->AsDispatch(), 266, {Variant::FromDispatch(notification.Get())}).Code, S_OK);
  EXPECT_EQ(seen.size(), 1u) << "nothing reaches the owner after it let go";
}

}  // namespace
}  // namespace tavix
