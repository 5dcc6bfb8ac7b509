#include "platform/ui/Menus.h"

#include <algorithm>

namespace tavix {

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  Clear();
  if (FParent) FParent->Remove(this);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == item) throw EInvalidOperation("A menu item cannot contain itself");
  if (item->FParent) item->FParent->Remove(item);
  index = std::clamp(index, 0, Count());
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return;
  FItems.erase(FItems.begin() + index);
  item->FParent = nullptr;
}

void TMenuItem::Clear() {
  while (!FItems.empty()) Free(FItems.back());  // each leaves the list as it goes
}

TMenuItem* TMenuItem::AddItem(const std::string& caption, TNotifyEvent onClick, bool autoCheck, bool checked) {
  auto* item = new TMenuItem(Owner());
  item->SetCaption(caption);
  item->OnClick = std::move(onClick);
  item->AutoCheck = autoCheck;
  item->SetChecked(checked);
  Add(item);
  return item;
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  const std::string wanted = StripHotkey(caption);
  for (TMenuItem* item : FItems)
    if (SameText(StripHotkey(item->FCaption), wanted)) return item;
  return nullptr;
}

void TMenuItem::Click() {
  if (!FEnabled || IsDestroying()) return;
  if (AutoCheck) FChecked = !FChecked;
  if (OnClick) OnClick(this);
}

std::string TMenuItem::Describe(int depth) const {
  std::string out;
  for (const TMenuItem* item : FItems) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += item->IsLine() ? "-" : std::string(item->FChecked ? "[x] " : "[ ] ") + item->FCaption;
    if (!item->FEnabled) out += " (disabled)";
    if (!item->FVisible) out += " (hidden)";
    out += '\n';
    out += item->Describe(depth + 1);
  }
  return out;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) {}

TPopupMenu::~TPopupMenu() { Free(FItems); }

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (FPopupComponent) RemoveFreeNotification(FPopupComponent);
  FPopupComponent = component;
  if (component) FreeNotification(component);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int32_t x, int32_t y) {
  if (OnPopup) OnPopup(this);
  FPopupPoint = TPoint{x, y};
  ++FPopupCount;
  FOpen = true;
}

bool TPopupMenu::ClickItem(TMenuItem* item) {
  if (!FOpen || !item || item->IsLine() || !item->Enabled()) return false;
  // The item and each menu above it must be shown and enabled, up to this menu's root.
  const TMenuItem* p = item;
  for (; p && p != FItems; p = p->Parent())
    if (!p->Visible() || !p->Enabled()) return false;
  if (p != FItems) return false;
  FOpen = false;
  item->Click();
  return true;
}

std::string TPopupMenu::Describe() const {
  std::string head = ClassName();
  if (!Name().empty()) head += " " + Name();
  if (FOpen) head += " open at " + std::to_string(FPopupPoint.X) + "," + std::to_string(FPopupPoint.Y);
  return head + "\n" + FItems->Describe(1);
}

}  // namespace tavix
