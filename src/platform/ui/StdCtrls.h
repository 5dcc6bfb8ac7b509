// Standard controls: panels, buttons, check boxes, labels, edits and memos.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Forms.h"

namespace tavix {

enum class TBevelCut { bvNone, bvLowered, bvRaised };
enum class TBorderStyle { bsNone, bsSingle };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// A container with a caption, bevels and an optional single-line border.
class TCustomPanel : public TWinControl {
 public:
  explicit TCustomPanel(TComponent* owner = nullptr);

  TBevelCut BevelOuter = TBevelCut::bvRaised;
  TBevelCut BevelInner = TBevelCut::bvNone;
  int32_t BevelWidth = 1;
  TAlignment Alignment = TAlignment::taCenter;
  bool ParentBackground = true;
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  // A border of one pixel around the client area; a panel with a window gets a new one.
  void SetBorderStyle(TBorderStyle value);

 protected:
  void CreateParams(TCreateParams& params) override;
  TRect FrameThickness() const override;
  void DescribeProperties(std::vector<std::string>& properties) const override;

 private:
  TBorderStyle FBorderStyle = TBorderStyle::bsNone;
};

class TPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};

// A push button: a click passes its modal result to its form, then OnClick. Space clicks the
// focused button; Return clicks the focused button, or the default one when no button has the
// focus; Escape clicks the cancel button.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner = nullptr);

  bool Default = false;
  bool Cancel = false;
  TModalResult ModalResult = mrNone;

  void Click() override;

 protected:
  void WndProc(TMessage& message) override;
  void KeyDown(uint16_t& key, TShiftState shift) override;
  void DescribeProperties(std::vector<std::string>& properties) const override;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box. Any change of its state, by the user or by the code, fires OnClick (as the
// platform's check box does). The user's click and Space step through the states: unchecked,
// grayed (when allowed) or checked, then unchecked.
class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner = nullptr);

  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState value);
  bool Checked() const { return FState == TCheckBoxState::cbChecked; }
  void SetChecked(bool value) { SetState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
  bool AllowGrayed = false;
  TAlignment Alignment = TAlignment::taRightJustify;
  // The user's toggle.
  void Toggle();

 protected:
  void ClickedByUser() override { Toggle(); }
  void KeyDown(uint16_t& key, TShiftState shift) override;
  void DescribeProperties(std::vector<std::string>& properties) const override;

 private:
  TCheckBoxState FState = TCheckBoxState::cbUnchecked;
};

// A text without a window. With AutoSize (the default) it takes the size of its caption in
// its font (the headless metrics of TFont).
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner = nullptr);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TAlignment Alignment = TAlignment::taLeftJustify;
  TTextLayout Layout = TTextLayout::tlTop;
  bool WordWrap = false;
  bool Transparent = false;
  TWinControl* FocusControl = nullptr;
  // Recomputes the size from caption and font (after a font change).
  void AdjustBounds();

 protected:
  void TextChanged() override { AdjustBounds(); }
  void DescribeProperties(std::vector<std::string>& properties) const override;

 private:
  bool FAutoSize = true;
};

using TEditingEvent = std::function<void(TObject* sender, bool& allow)>;

// The text editors. `SetText` is the code's change; `UserEdit` and typed characters are the
// user's, which a disabled or read-only editor refuses and OnEditing may veto. Both kinds of
// change fire OnChange.
class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner = nullptr);

  bool ReadOnly = false;
  int32_t MaxLength = 0;  // 0: no limit (characters)
  bool Modified = false;  // set by the user's edits
  TNotifyEvent OnChange;
  TEditingEvent OnEditing;

  // The user replaces the whole text; false when refused.
  bool UserEdit(const std::string& text);

 protected:
  void TextChanged() override;
  void WndProc(TMessage& message) override;
  void KeyPress(char16_t& key) override;
  void DescribeProperties(std::vector<std::string>& properties) const override;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner = nullptr);
};

// A multi-line editor; its text is its lines joined by "\n". Return types a line break.
class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* owner = nullptr);

  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  void AddLine(const std::string& line);
  void ClearLines() { SetText(std::string()); }
  int32_t LineCount() const { return static_cast<int32_t>(Lines().size()); }
  bool WordWrap = true;
  bool WantTabs = false;

 protected:
  void WndProc(TMessage& message) override;
  void KeyPress(char16_t& key) override;
};

}  // namespace tavix
