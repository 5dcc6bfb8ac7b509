#include "platform/ui/StdCtrls.h"

#include "platform/automation/AutoTypes.h"

namespace tavix {

namespace {

const char* BevelName(TBevelCut bevel) {
  switch (bevel) {
    case TBevelCut::bvLowered:
      return "bvLowered";
    case TBevelCut::bvRaised:
      return "bvRaised";
    default:
      return "bvNone";
  }
}

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

// The text cut to `limit` characters (0: no limit).
std::string CutToCharacters(const std::string& text, int32_t limit) {
  if (limit <= 0) return text;
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++count > static_cast<size_t>(limit))
      return text.substr(0, i);
  }
  return text;
}

std::string WithoutLastCharacter(const std::string& text) {
  if (text.empty()) return text;
  size_t i = text.size() - 1;
  while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
  return text.substr(0, i);
}

}  // namespace

// ---- TCustomPanel -----------------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  if (FBorderStyle == TBorderStyle::bsSingle) params.Style |= os::WS_BORDER;
}

TRect TCustomPanel::FrameThickness() const {
  if (HandleAllocated()) return TWinControl::FrameThickness();
  return FBorderStyle == TBorderStyle::bsSingle ? os::FrameThickness(os::WS_BORDER, 0) : TRect();
}

void TCustomPanel::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  if (BevelOuter != TBevelCut::bvRaised) properties.push_back(std::string("bevelouter=") + BevelName(BevelOuter));
  if (BevelInner != TBevelCut::bvNone) properties.push_back(std::string("bevelinner=") + BevelName(BevelInner));
  if (FBorderStyle == TBorderStyle::bsSingle) properties.push_back("border=bsSingle");
}

// ---- TButton ---------------------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::Click() {
  if (!CanFireEvents()) return;
  if (ModalResult != mrNone)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
  TWinControl::Click();
}

void TButton::WndProc(TMessage& message) {
  if (message.Msg == CM_DIALOGKEY && IsEnabledInTree() && Visible()) {
    const TShiftState shift = KeyboardShiftState() | ((message.LParam & os::KF_ALTDOWN_BIT) ? TShiftState(ssAlt) : TShiftState(0));
    if (!(shift & (ssAlt | ssCtrl))) {
      bool take = false;
      if (message.WParam == os::VK_RETURN) {
        // The focused button takes Return; the default one does while no button has the focus.
        const TWinControl* focused = FindControl(os::GetFocus());
        take = Focused() || (Default && !dynamic_cast<const TButton*>(focused));
      } else if (message.WParam == os::VK_ESCAPE) {
        take = Cancel;
      }
      if (take) {
        Click();
        message.Result = 1;
        return;
      }
    }
  }
  TWinControl::WndProc(message);
}

void TButton::KeyDown(uint16_t& key, TShiftState shift) {
  if (key == os::VK_SPACE && !(shift & (ssAlt | ssCtrl))) {
    key = 0;
    Click();
  }
}

void TButton::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  if (Default) properties.push_back("default");
  if (Cancel) properties.push_back("cancel");
  if (ModalResult != mrNone) properties.push_back("modalresult=" + std::to_string(ModalResult));
}

// ---- TCheckBox -------------------------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCheckBox::SetState(TCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  Click();
}

void TCheckBox::Toggle() {
  switch (FState) {
    case TCheckBoxState::cbUnchecked:
      SetState(AllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
      break;
    case TCheckBoxState::cbChecked:
      SetState(TCheckBoxState::cbUnchecked);
      break;
    case TCheckBoxState::cbGrayed:
      SetState(TCheckBoxState::cbChecked);
      break;
  }
}

void TCheckBox::KeyDown(uint16_t& key, TShiftState shift) {
  if (key == os::VK_SPACE && !(shift & (ssAlt | ssCtrl))) {
    key = 0;
    Toggle();
  }
}

void TCheckBox::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  static const char* names[] = {"unchecked", "checked", "grayed"};
  properties.push_back(names[static_cast<int>(FState)]);
}

// ---- TLabel ------------------------------------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  SetColor(clNone);
  AdjustBounds();
}

void TLabel::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || WordWrap) return;
  SetBounds(FLeft, FTop, Font().TextWidth(StripHotkey(Caption())), Font().TextHeight());
}

void TLabel::DescribeProperties(std::vector<std::string>& properties) const {
  TControl::DescribeProperties(properties);
  if (!FAutoSize) properties.push_back("fixedsize");
  properties.push_back("font=" + Font().Name + "/" + std::to_string(Font().Height) + "px");
}

// ---- editors ----------------------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetColor(clWindow);
}

bool TCustomEdit::UserEdit(const std::string& text) {
  if (!IsEnabledInTree() || ReadOnly || !CanFireEvents()) return false;
  bool allow = true;
  if (OnEditing) OnEditing(this, allow);
  if (!allow) return false;
  const std::string cut = CutToCharacters(text, MaxLength);
  Modified = true;
  SetText(cut);
  return true;
}

void TCustomEdit::TextChanged() {
  if (OnChange && CanFireEvents()) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& message) {
  if (message.Msg == os::WM_GETDLGCODE) {
    message.Result = os::DLGC_WANTARROWS | os::DLGC_WANTCHARS;
    return;
  }
  TWinControl::WndProc(message);
}

void TCustomEdit::KeyPress(char16_t& key) {
  if (key == u'\b') {
    UserEdit(WithoutLastCharacter(Text()));
  } else if (key >= 0x20) {
    if (MaxLength > 0 && CharacterCount(Text()) >= static_cast<size_t>(MaxLength)) return;
    UserEdit(Text() + Utf16ToUtf8(std::u16string(1, key)));
  } else {
    return;
  }
  key = 0;
}

void TCustomEdit::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  if (ReadOnly) properties.push_back("readonly");
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) { SetBounds(0, 0, 121, 21); }

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) { SetBounds(0, 0, 185, 89); }

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  const std::string& text = Text();
  if (text.empty()) return lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (start == text.size()) break;  // a final line break ends the last line, it adds none
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += '\n';
    text += lines[i];
  }
  SetText(text);
}

void TMemo::AddLine(const std::string& line) {
  auto lines = Lines();
  lines.push_back(line);
  SetLines(lines);
}

void TMemo::WndProc(TMessage& message) {
  if (message.Msg == os::WM_GETDLGCODE) {
    message.Result = os::DLGC_WANTARROWS | os::DLGC_WANTCHARS | os::DLGC_WANTALLKEYS | (WantTabs ? LRESULT(os::DLGC_WANTTAB) : LRESULT(0));
    return;
  }
  TCustomEdit::WndProc(message);
}

void TMemo::KeyPress(char16_t& key) {
  if (key == u'\r') {
    UserEdit(Text() + "\n");
    key = 0;
    return;
  }
  if (key == u'\t' && WantTabs) {
    UserEdit(Text() + "\t");
    key = 0;
    return;
  }
  TCustomEdit::KeyPress(key);
}

}  // namespace tavix
