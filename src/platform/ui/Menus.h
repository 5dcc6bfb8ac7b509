// Popup menus and their items. Headless: popping a menu up records where and opens it; the
// user's pick is `ClickItem`.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Controls.h"

namespace tavix {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner = nullptr);
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value) { FCaption = value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool value) { FChecked = value; }
  // A click toggles the check mark before OnClick.
  bool AutoCheck = false;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { FVisible = value; }
  std::string Hint;
  // A separator line ("-").
  bool IsLine() const { return FCaption == "-"; }

  TMenuItem* Parent() const { return FParent; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
  int IndexOf(const TMenuItem* item) const;
  int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
  // Takes the item into this one's sub-items (out of any other item first).
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out without freeing it.
  void Remove(TMenuItem* item);
  // Frees the sub-items.
  void Clear();
  // A new sub-item with the caption (owned by this item's owner), for building menus in code.
  TMenuItem* AddItem(const std::string& caption, TNotifyEvent onClick = nullptr, bool autoCheck = false,
                     bool checked = false);
  // The sub-item whose caption, accelerator marks removed, matches ignoring case.
  TMenuItem* Find(const std::string& caption) const;

  // The item's action: nothing when disabled; else the check mark toggles (AutoCheck), then
  // OnClick.
  void Click();
  TNotifyEvent OnClick;

  // The item and its sub-items, one line each: "[x] Caption" with "(disabled)", "(hidden)".
  std::string Describe(int depth = 0) const;

 private:
  std::string FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner = nullptr);
  ~TPopupMenu() override;

  TMenuItem* Items() const { return FItems; }
  // A control's right click pops the menu up by itself.
  bool AutoPopup = true;
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* component);

  // Pops up at a screen point: OnPopup first (which may still change the items), then the menu
  // is open.
  virtual void Popup(int32_t x, int32_t y);
  bool IsOpen() const { return FOpen; }
  TPoint PopupPoint() const { return FPopupPoint; }
  int32_t PopupCount() const { return FPopupCount; }
  void CloseMenu() { FOpen = false; }
  // The user picks an item of the open menu (at any depth): the menu closes and the item is
  // clicked. False (nothing happens) when the menu is not open or the item is not one of its
  // visible, enabled, non-line items.
  bool ClickItem(TMenuItem* item);
  TNotifyEvent OnPopup;

  std::string Describe() const;

 private:
  void Notification(TComponent* component, TOperation operation) override;

  TMenuItem* FItems;
  TComponent* FPopupComponent = nullptr;
  bool FOpen = false;
  TPoint FPopupPoint;
  int32_t FPopupCount = 0;
};

}  // namespace tavix
