// The control set driven as a user and a host would: windows made on demand, layout, focus and
// keyboard, clicks, modal loops, menus and the lifetime rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

using namespace tavix;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    os::ResetWindowSystem();
    Application().ClearExceptions();
    Application().OnException = [this](const std::string& m) { Exceptions.push_back(m); };
  }
  void TearDown() override {
    Application().OnException = nullptr;
    os::ReleaseAllKeys();
    os::ResetWindowSystem();
  }

  template <class T>
  static T* Make(TComponent* owner, TWinControl* parent, const std::string& name, int l = 0, int t = 0, int w = 80,
                 int h = 20) {
    T* c = new T(owner);
    c->SetName(name);
    c->SetBounds(l, t, w, h);
    if (parent) c->SetParent(parent);
    return c;
  }

  std::vector<std::string> Exceptions;
};

// A form with two edits and a button in a panel, the usual dialog shape.
struct TSampleForm {
  TOwned<TForm> Form{NewForm<TForm>(nullptr)};
  TPanel* Panel;
  TEdit* First;
  TEdit* Second;
  TButton* Ok;
  TButton* Cancel;
  std::vector<std::string> Log;

  TSampleForm() {
    Form->SetName("SampleForm");
    Form->SetCaption("Sample");
    Form->SetBorderStyle(TFormBorderStyle::bsNone);
    Form->SetBounds(100, 100, 400, 300);
    Panel = new TPanel(Form.get());
    Panel->SetName("Panel");
    Panel->SetParent(Form.get());
    Panel->SetAlign(TAlign::alClient);
    First = new TEdit(Form.get());
    First->SetName("First");
    First->SetParent(Panel);
    Second = new TEdit(Form.get());
    Second->SetName("Second");
    Second->SetParent(Panel);
    Ok = new TButton(Form.get());
    Ok->SetName("Ok");
    Ok->SetCaption("OK");
    Ok->SetParent(Form.get());
    Ok->Default = true;
    Ok->ModalResult = mrOk;
    Cancel = new TButton(Form.get());
    Cancel->SetName("Cancel");
    Cancel->SetCaption("Cancel");
    Cancel->SetParent(Form.get());
    Cancel->Cancel = true;
    Cancel->ModalResult = mrCancel;
    for (TWinControl* c : std::vector<TWinControl*>{First, Second, Ok, Cancel}) {
      c->OnEnter = [this](TObject* s) { Log.push_back("enter " + static_cast<TComponent*>(s)->Name()); };
      c->OnExit = [this](TObject* s) { Log.push_back("exit " + static_cast<TComponent*>(s)->Name()); };
    }
  }
};

TEST_F(ControlsTest, WindowsAreMadeOnDemandAndDescribeTheTree) {
  TSampleForm s;
  EXPECT_FALSE(s.Form->HandleAllocated());
  EXPECT_FALSE(s.First->HandleAllocated());
  s.Form->Show();
  ASSERT_TRUE(s.First->HandleAllocated()) << "showing the form makes every window of the tree";
  EXPECT_EQ(os::GetParent(s.First->Handle()), s.Panel->Handle());
  EXPECT_EQ(os::GetParent(s.Panel->Handle()), s.Form->Handle());
  EXPECT_EQ(TWinControl::FindControl(s.Ok->Handle()), s.Ok);

  const std::string tree = os::DescribeWindowTree();
  EXPECT_THAT(tree, HasSubstr("TForm \"Sample\" (100,100 400x300) visible focus active"));
  EXPECT_THAT(tree, HasSubstr("    #" + std::to_string(s.First->Handle()) + " TEdit"));
  const std::string controls = s.Form->DescribeTree();
  EXPECT_THAT(controls, HasSubstr("TForm SampleForm \"Sample\" (100,100 400x300) visible"));
  EXPECT_THAT(controls, HasSubstr("\n    TEdit First (0,0 121x21) visible"));
  EXPECT_THAT(controls, HasSubstr("TButton Ok \"OK\" (0,0 75x25) visible #"));
  EXPECT_THAT(controls, HasSubstr("default modalresult=1"));
}

TEST_F(ControlsTest, FreeingAFormFreesItsControlsAndWindowsWithoutEvents) {
  auto* form = NewForm<TForm>(nullptr);
  auto* edit = Make<TEdit>(form, form, "Edit");
  bool destroyed = false, exited = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  edit->OnExit = [&](TObject*) { exited = true; };
  form->Show();
  edit->SetFocus();
  const HWND formWindow = form->Handle(), editWindow = edit->Handle();
  Free(form);
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(exited) << "no event goes into a form that is being destroyed";
  EXPECT_FALSE(os::IsWindow(formWindow));
  EXPECT_FALSE(os::IsWindow(editWindow));
  EXPECT_TRUE(os::GetTopLevelWindows().empty());
}

TEST_F(ControlsTest, ChildrenFreedByTheirOwnerLeaveTheirParentAndReferencesClear) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  auto* panel = Make<TPanel>(form.get(), form.get(), "Panel");
  auto* popup = new TPopupMenu(form.get());
  panel->SetPopupMenu(popup);
  Free(popup);
  EXPECT_EQ(panel->PopupMenu(), nullptr) << "a freed menu is not left behind in its control";
  EXPECT_EQ(form->ControlCount(), 1);
  Free(panel);
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_EQ(form->FindComponent("panel"), nullptr);
  EXPECT_THROW(
      {
        Make<TPanel>(form.get(), nullptr, "Same");
        Make<TPanel>(form.get(), nullptr, "SAME");
      },
      EComponentError);
}

TEST_F(ControlsTest, AlignmentAndAnchorsFollowTheParentSize) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetBounds(0, 0, 400, 300);
  auto* top = Make<TPanel>(form.get(), form.get(), "Top", 0, 0, 10, 50);
  top->SetAlign(TAlign::alTop);
  auto* bottom = Make<TPanel>(form.get(), form.get(), "Bottom", 0, 0, 10, 40);
  bottom->SetAlign(TAlign::alBottom);
  auto* client = Make<TPanel>(form.get(), form.get(), "Client");
  client->SetAlign(TAlign::alClient);
  auto* button = Make<TButton>(form.get(), client, "Button", 300, 150, 75, 25);
  button->SetAnchors(akRight | akBottom);
  auto* grow = Make<TEdit>(form.get(), client, "Grow", 10, 10, 200, 21);
  grow->SetAnchors(akLeft | akTop | akRight);

  EXPECT_EQ(top->BoundsRect(), TRect::FromBounds(0, 0, 400, 50));
  EXPECT_EQ(bottom->BoundsRect(), TRect::FromBounds(0, 260, 400, 40));
  EXPECT_EQ(client->BoundsRect(), TRect::FromBounds(0, 50, 400, 210));

  form->Show();
  os::MoveWindow(form->Handle(), 0, 0, 500, 350);  // the host resizes the window
  EXPECT_EQ(form->Width(), 500);
  EXPECT_EQ(client->BoundsRect(), TRect::FromBounds(0, 50, 500, 260));
  EXPECT_EQ(bottom->Top(), 310);
  EXPECT_EQ(button->BoundsRect(), TRect::FromBounds(400, 200, 75, 25)) << "anchored right and bottom";
  EXPECT_EQ(grow->Width(), 300) << "anchored left and right: grows";
  EXPECT_EQ(os::GetWindowBounds(button->Handle()), TRect::FromBounds(400, 200, 75, 25));
}

TEST_F(ControlsTest, TabMovesTheFocusInTabOrderSkippingWhatCannotTakeIt) {
  TSampleForm s;
  s.Form->Show();
  s.First->SetFocus();
  s.Second->SetTabOrder(0);  // Second before First inside the panel
  s.Log.clear();

  auto tab = [] {
    os::KeyDown(os::VK_TAB);
    os::ProcessMessages();
  };
  tab();  // First -> Ok (the panel's children come first, then the form's)
  EXPECT_EQ(s.Form->ActiveControl(), s.Ok);
  s.Cancel->SetEnabled(false);
  tab();  // Ok -> (Cancel disabled) -> Second
  EXPECT_EQ(s.Form->ActiveControl(), s.Second);
  EXPECT_TRUE(s.Second->Focused());
  EXPECT_THAT(s.Log, ElementsAre("exit First", "enter Ok", "exit Ok", "enter Second"));
  EXPECT_THAT(s.Form->Describe(), HasSubstr("activecontrol=Second"));
}

TEST_F(ControlsTest, ShiftTabGoesBackAndCtrlTabLeavesTheFocusAlone) {
  TSampleForm s;
  s.Form->Show();
  s.Ok->SetFocus();
  os::SetKeyDown(os::VK_SHIFT, true);
  os::KeyDown(os::VK_TAB);
  os::ProcessMessages();
  EXPECT_EQ(s.Form->ActiveControl(), s.Second);
  os::SetKeyDown(os::VK_SHIFT, false);
  os::SetKeyDown(os::VK_CONTROL, true);
  os::KeyDown(os::VK_TAB);
  os::ProcessMessages();
  EXPECT_EQ(s.Form->ActiveControl(), s.Second);
}

TEST_F(ControlsTest, FirstControlInTabOrderWithTabStop) {
  TSampleForm s;
  s.First->SetTabStop(false);
  s.Form->Show();
  ASSERT_TRUE(s.Form->SelectFirst());
  EXPECT_TRUE(s.Second->Focused());
  s.Form->Hide();
  EXPECT_FALSE(s.Second->Focused()) << "a hidden form keeps no focus";
  EXPECT_THROW(s.Second->SetFocus(), EInvalidOperation);
}

TEST_F(ControlsTest, ReturnAndEscapeClickTheDefaultAndCancelButtons) {
  TSampleForm s;
  std::vector<std::string> clicks;
  s.Ok->OnClick = [&](TObject*) { clicks.push_back("ok"); };
  s.Cancel->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
  s.Form->Show();
  s.First->SetFocus();
  os::KeyDown(os::VK_RETURN);
  os::KeyDown(os::VK_ESCAPE);
  os::ProcessMessages();
  s.Cancel->SetFocus();
  os::KeyDown(os::VK_RETURN);  // the focused button takes Return, not the default one
  os::KeyDown(os::VK_SPACE);
  os::ProcessMessages();
  EXPECT_THAT(clicks, ElementsAre("ok", "cancel", "cancel", "cancel"));
  EXPECT_EQ(s.Form->ModalResult(), mrCancel);
}

TEST_F(ControlsTest, KeysReachTheFocusedControlAndThePreviewingForm) {
  TSampleForm s;
  std::vector<std::string> keys;
  s.Second->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { keys.push_back("edit " + std::to_string(key)); };
  s.Form->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
    keys.push_back("form " + std::to_string(key));
    if (key == 'Q') key = 0;  // the form keeps this one
  };
  s.Form->KeyPreview = true;
  s.Form->Show();
  s.Second->SetFocus();
  os::KeyDown('A');
  os::KeyDown('Q');
  os::CharInput(u'x');
  os::CharInput(u'y');
  os::CharInput(u'\b');
  os::ProcessMessages();
  EXPECT_THAT(keys, ElementsAre("form 65", "edit 65", "form 81"));
  EXPECT_EQ(s.Second->Text(), "x");
}

// A form that answers child keys, as the help forms do.
class TChildKeyForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<std::string> Seen;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_CHILDKEY) {
      auto* from = reinterpret_cast<TWinControl*>(message.LParam);
      Seen.push_back(from->Name() + ":" + std::to_string(message.WParam));
      if (message.WParam == os::VK_F2) {
        message.Result = 1;
        return;
      }
    }
    TForm::WndProc(message);
  }
};

TEST_F(ControlsTest, EveryKeyIsOfferedToTheFormAsAChildKeyFirst) {
  TOwned<TChildKeyForm> form{NewForm<TChildKeyForm>(nullptr)};
  auto* panel = Make<TPanel>(form.get(), form.get(), "Panel");
  auto* edit = Make<TEdit>(form.get(), panel, "Edit");
  std::vector<uint16_t> reached;
  edit->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { reached.push_back(key); };
  form->Show();
  edit->SetFocus();
  os::KeyDown(os::VK_F2);
  os::KeyDown(os::VK_F3);
  os::ProcessMessages();
  EXPECT_THAT(form->Seen, ElementsAre("Edit:113", "Edit:114"));
  EXPECT_THAT(reached, ElementsAre(os::VK_F3)) << "a key the form takes goes no further";
}

TEST_F(ControlsTest, ShowModalEndsWithTheButtonsResultOrCancelsWithoutAUser) {
  TSampleForm s;
  os::SetModalIdleHandler([&](HWND window) {
    EXPECT_EQ(window, s.Form->Handle());
    return ClickControl(*s.Ok);
  });
  EXPECT_EQ(s.Form->ShowModal(), mrOk);
  EXPECT_FALSE(s.Form->Visible());

  os::SetModalIdleHandler(nullptr);
  EXPECT_EQ(s.Form->ShowModal(), mrCancel);

  bool allowClose = false;
  int queries = 0;
  s.Form->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++queries;
    canClose = allowClose;
    allowClose = true;  // the second time
  };
  os::SetModalIdleHandler([&](HWND) { return ClickControl(*s.Ok); });
  EXPECT_EQ(s.Form->ShowModal(), mrOk);
  EXPECT_EQ(queries, 2) << "a refused close keeps the loop running";
  os::SetModalIdleHandler(nullptr);
  s.Form->Show();
  EXPECT_THROW(s.Form->ShowModal(), EInvalidOperation);
}

TEST_F(ControlsTest, CheckBoxStatesAndClicks) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  auto* box = Make<TCheckBox>(form.get(), form.get(), "Box");
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  form->Show();

  struct Step {
    bool AllowGrayed;
    TCheckBoxState Before, After;
  } steps[] = {
      {false, TCheckBoxState::cbUnchecked, TCheckBoxState::cbChecked},
      {false, TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked},
      {true, TCheckBoxState::cbUnchecked, TCheckBoxState::cbGrayed},
      {true, TCheckBoxState::cbGrayed, TCheckBoxState::cbChecked},
  };
  for (const Step& step : steps) {
    box->AllowGrayed = step.AllowGrayed;
    box->SetState(step.Before);
    clicks = 0;
    EXPECT_TRUE(ClickControl(*box));
    EXPECT_EQ(box->State(), step.After);
    EXPECT_EQ(clicks, 1);
  }
  box->SetChecked(false);
  clicks = 0;
  box->SetChecked(true);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1) << "the code's change fires OnClick once, an unchanged state none";
  box->SetEnabled(false);
  EXPECT_FALSE(ClickControl(*box));
  EXPECT_TRUE(box->Checked()) << "a disabled box (a lamp) does not follow the user";
}

TEST_F(ControlsTest, LabelsSizeToTheirCaptionUnlessFixed) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  auto* label = Make<TLabel>(form.get(), form.get(), "Label", 4, 3, 1, 1);
  label->Font().Height = 20;
  label->SetCaption("&Hello");
  EXPECT_EQ(label->Width(), 55) << "five characters of 20 px at 0.55";
  EXPECT_EQ(label->Height(), 25);
  label->SetAutoSize(false);
  label->SetBounds(4, 3, 380, 17);
  label->SetCaption("a much longer text than before");
  EXPECT_EQ(label->Width(), 380);
  EXPECT_THAT(label->Describe(), HasSubstr("fixedsize"));
}

TEST_F(ControlsTest, EditorsTellTheUsersEditsFromTheCodes) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  auto* memo = Make<TMemo>(form.get(), form.get(), "Memo");
  std::vector<std::string> log;
  bool allow = true;
  memo->OnEditing = [&](TObject*, bool& a) {
    log.push_back("editing");
    a = allow;
  };
  memo->OnChange = [&](TObject*) { log.push_back("change"); };

  memo->SetLines({"one", "two"});
  EXPECT_EQ(memo->Text(), "one\ntwo");
  EXPECT_TRUE(memo->UserEdit("three"));
  allow = false;
  EXPECT_FALSE(memo->UserEdit("vetoed"));
  allow = true;
  memo->ReadOnly = true;
  EXPECT_FALSE(memo->UserEdit("read only"));
  EXPECT_THAT(log, ElementsAre("change", "editing", "change", "editing"));
  EXPECT_THAT(memo->Lines(), ElementsAre("three"));
  memo->SetText("a\n");
  EXPECT_THAT(memo->Lines(), ElementsAre("a"));

  auto* edit = Make<TEdit>(form.get(), form.get(), "Edit");
  edit->MaxLength = 3;
  EXPECT_TRUE(edit->UserEdit("abcdef"));
  EXPECT_EQ(edit->Text(), "abc");
}

TEST_F(ControlsTest, RightClickPopsTheMenuUpAtTheCursorAndItemsAct) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetBounds(100, 200, 300, 200);
  auto* panel = Make<TPanel>(form.get(), form.get(), "Panel", 10, 20, 100, 100);
  auto* menu = new TPopupMenu(form.get());
  TMenuItem* columns = menu->Items()->AddItem("Hide/Show Column...");
  TMenuItem* pinName = columns->AddItem("Pin Name", nullptr, true, true);
  std::vector<std::string> clicked;
  TMenuItem* enable = menu->Items()->AddItem("&Enable Selected", [&](TObject*) { clicked.push_back("enable"); });
  menu->OnPopup = [&](TObject*) { enable->SetEnabled(false); };
  panel->SetPopupMenu(menu);
  form->Show();

  ASSERT_TRUE(RightClickControl(*panel, 5, 6));
  EXPECT_TRUE(menu->IsOpen());
  EXPECT_EQ(menu->PopupPoint(), (TPoint{100 + 10 + 5, 200 + 20 + 6}));
  EXPECT_EQ(os::GetCursorPos(), menu->PopupPoint());
  EXPECT_EQ(menu->PopupComponent(), panel);
  EXPECT_FALSE(menu->ClickItem(enable)) << "disabled by OnPopup";
  EXPECT_TRUE(menu->ClickItem(pinName));
  EXPECT_FALSE(pinName->Checked()) << "an auto-check item toggles";
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_FALSE(menu->ClickItem(pinName)) << "the menu closed with the pick";
  EXPECT_EQ(menu->Items()->Find("enable selected"), enable);
  EXPECT_THAT(menu->Describe(), HasSubstr("  [ ] Hide/Show Column...\n    [ ] Pin Name\n  [ ] &Enable Selected (disabled)\n"));
  EXPECT_TRUE(clicked.empty());
}

TEST_F(ControlsTest, ShowAndHideEventsAndPlacement) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  std::vector<std::string> log;
  form->OnShow = [&](TObject*) { log.push_back("show"); };
  form->OnHide = [&](TObject*) { log.push_back("hide"); };
  form->SetPosition(TPosition::poScreenCenter);
  form->SetBounds(0, 0, 501, 300);
  form->Show();
  form->Show();
  EXPECT_EQ(form->Left(), (1920 - 501) / 2);
  EXPECT_EQ(form->Top(), (1080 - 300) / 2);
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_THAT(log, ElementsAre("show", "hide"));
}

TEST_F(ControlsTest, AFormCanLiveInAForeignWindow) {
  os::TWindowCreateParams host;
  host.ClassName = "HostFrame";
  host.Style = os::WS_OVERLAPPED | os::WS_VISIBLE;
  host.Width = 800;
  host.Height = 600;
  const HWND frame = os::CreateWindowEx(host);

  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->Show();
  const HWND popupWindow = form->Handle();
  form->SetParentWindow(frame);
  EXPECT_FALSE(os::IsWindow(popupWindow)) << "from top-level to child: a new window";
  form->Show();
  EXPECT_EQ(os::GetParent(form->Handle()), frame);
  EXPECT_TRUE(os::GetWindowStyle(form->Handle()) & os::WS_CHILD);

  os::DestroyWindow(frame);  // the host's frame goes first
  EXPECT_FALSE(form->HandleAllocated()) << "the form saw its window go";
}

TEST_F(ControlsTest, ReleaseFreesTheFormFromTheQueue) {
  auto* form = NewForm<TForm>(nullptr);
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
  form->Show();
  form->Close();
  EXPECT_FALSE(destroyed) << "still there while the current message is handled";
  os::ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(os::GetTopLevelWindows().empty());
}

TEST_F(ControlsTest, ExceptionsInMessageHandlingGoToTheApplication) {
  TOwned<TForm> form{NewForm<TForm>(nullptr)};
  auto* button = Make<TButton>(form.get(), form.get(), "Button");
  button->OnClick = [](TObject*) { throw std::runtime_error("broken handler"); };
  form->Show();
  EXPECT_TRUE(ClickControl(*button));
  EXPECT_THAT(Exceptions, ElementsAre("broken handler"));
}

TEST_F(ControlsTest, RecreatingAWindowKeepsTheControlAndItsState) {
  TSampleForm s;
  s.Form->Show();
  const HWND old = s.Panel->Handle();
  s.First->SetText("kept");
  s.Panel->SetBorderStyle(TBorderStyle::bsSingle);
  EXPECT_NE(s.Panel->Handle(), old);
  EXPECT_FALSE(os::IsWindow(old));
  EXPECT_EQ(os::GetWindowText(s.First->Handle()), "kept");
  EXPECT_EQ(s.Panel->ClientWidth(), s.Panel->Width() - 2);
  EXPECT_TRUE(s.Form->Showing());
}

}  // namespace
