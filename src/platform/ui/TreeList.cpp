#include "platform/ui/TreeList.h"

#include <algorithm>

namespace tavix {

// ---- TTreeListColumn ----------------------------------------------------------------------------

TTreeListColumn::TTreeListColumn(TTreeList* treeList, int32_t itemIndex)
    : TComponent(treeList), FTreeList(treeList), FItemIndex(itemIndex) {}

TTreeListColumn::~TTreeListColumn() {
  if (FTreeList) FTreeList->ColumnGone(this);
}

int32_t TTreeListColumn::Index() const {
  if (!FTreeList) return -1;
  const auto& columns = FTreeList->FColumns;
  const auto it = std::find(columns.begin(), columns.end(), this);
  return it == columns.end() ? -1 : static_cast<int32_t>(it - columns.begin());
}

int32_t TTreeListColumn::DisplayImage(const std::string& value) const {
  if (Kind != TTreeListColumnKind::ckImage) return -1;
  for (const TImageComboItem& item : ImageItems)
    if (item.Value == value) return item.ImageIndex;
  return -1;
}

std::string TTreeListColumn::DisplayText(const std::string& value) const {
  switch (Kind) {
    case TTreeListColumnKind::ckImage:
      for (const TImageComboItem& item : ImageItems)
        if (item.Value == value) return item.Description;
      return std::string();
    case TTreeListColumnKind::ckCheck:
      if (value == ValueChecked) return "[x]";
      if (value == ValueUnchecked) return "[ ]";
      return "[-]";
    default:
      return value;
  }
}

// ---- TTreeListNode --------------------------------------------------------------------------------

TTreeListNode* TTreeListNode::Parent() const {
  return (FParent && FParent != FTreeList->FRoot.get()) ? FParent : nullptr;
}

int32_t TTreeListNode::Level() const {
  int32_t level = 0;
  for (const TTreeListNode* p = Parent(); p; p = p->Parent()) ++level;
  return level;
}

int32_t TTreeListNode::Index() const {
  if (!FParent) return -1;
  const auto& siblings = FParent->FChildren;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int32_t>(i);
  return -1;
}

TTreeListNode* TTreeListNode::AddChild() {
  FChildren.push_back(std::unique_ptr<TTreeListNode>(new TTreeListNode(FTreeList, this)));
  return FChildren.back().get();
}

void TTreeListNode::Delete() {
  if (!FParent) return;  // the hidden root stays
  FTreeList->ForgetNode(this);
  auto& siblings = FParent->FChildren;
  for (auto it = siblings.begin(); it != siblings.end(); ++it)
    if (it->get() == this) {
      siblings.erase(it);  // frees this node: nothing of it may be touched after
      return;
    }
}

std::string TTreeListNode::Values(const TTreeListColumn* column) const {
  if (!column) return std::string();
  const auto it = FValues.find(column->ItemIndex());
  return it == FValues.end() ? std::string() : it->second;
}

void TTreeListNode::SetValue(const TTreeListColumn* column, const std::string& value) {
  if (column) FValues[column->ItemIndex()] = value;
}

std::string TTreeListNode::Texts(const TTreeListColumn* column) const {
  return column ? column->DisplayText(Values(column)) : std::string();
}

void TTreeListNode::Expand(bool recurse) {
  FExpanded = true;
  if (recurse)
    for (auto& child : FChildren) child->Expand(true);
}

bool TTreeListNode::Selected() const {
  const auto& selection = FTreeList->FSelection;
  return std::find(selection.begin(), selection.end(), this) != selection.end();
}

bool TTreeListNode::Focused() const { return FTreeList->FFocused == this; }

// ---- TTreeList ---------------------------------------------------------------------------------------

TTreeList::TTreeList(TComponent* owner)
    : TWinControl(owner), FRoot(new TTreeListNode(this, nullptr)) {
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
  SetColor(clWindow);
  FRoot->FExpanded = true;
}

TTreeList::~TTreeList() {
  for (TTreeListColumn* column : FColumns) column->FTreeList = nullptr;
  FColumns.clear();
  FSelection.clear();
  FFocused = nullptr;
}

TTreeListBand& TTreeList::AddBand(const std::string& caption) {
  FBands.push_back(TTreeListBand{caption, true, 0});
  return FBands.back();
}

TTreeListColumn* TTreeList::CreateColumn(const std::string& name, const std::string& caption, int32_t bandIndex,
                                         TTreeListColumnKind kind) {
  auto* column = new TTreeListColumn(this, FNextItemIndex++);
  try {
    column->SetName(name);
  } catch (...) {
    Free(column);
    throw;
  }
  column->Caption = caption;
  column->BandIndex = bandIndex;
  column->Kind = kind;
  FColumns.push_back(column);
  return column;
}

TTreeListColumn* TTreeList::ColumnByName(const std::string& name) const {
  for (TTreeListColumn* column : FColumns)
    if (SameText(column->Name(), name)) return column;
  return nullptr;
}

bool TTreeList::ColumnShown(const TTreeListColumn* column) const {
  if (!column || !column->Visible) return false;
  if (column->BandIndex >= 0 && column->BandIndex < BandCount()) return FBands[static_cast<size_t>(column->BandIndex)].Visible;
  return true;
}

void TTreeList::ColumnGone(TTreeListColumn* column) {
  FColumns.erase(std::remove(FColumns.begin(), FColumns.end(), column), FColumns.end());
}

void TTreeList::Clear() {
  const bool hadSelection = !FSelection.empty();
  TTreeListNode* previous = FFocused;
  FSelection.clear();
  FFocused = nullptr;
  FRoot->FChildren.clear();
  if (hadSelection && OnSelectionChanged && CanFireEvents()) OnSelectionChanged(this);
  if (previous && OnFocusedNodeChanged && CanFireEvents()) OnFocusedNodeChanged(this, nullptr, nullptr);
}

int32_t TTreeList::AbsoluteCount() const {
  int32_t count = 0;
  ForEachNode([&](TTreeListNode*) { ++count; });
  return count;
}

void TTreeList::ForEachNode(const std::function<void(TTreeListNode*)>& visit) const {
  std::function<void(TTreeListNode*)> walk = [&](TTreeListNode* node) {
    for (auto& child : node->FChildren) {
      visit(child.get());
      walk(child.get());
    }
  };
  walk(FRoot.get());
}

void TTreeList::FullExpand() { FRoot->Expand(true); }

void TTreeList::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
}

void TTreeList::ForgetNode(TTreeListNode* node) {
  std::vector<TTreeListNode*> gone{node};
  std::function<void(TTreeListNode*)> collect = [&](TTreeListNode* n) {
    for (auto& child : n->FChildren) {
      gone.push_back(child.get());
      collect(child.get());
    }
  };
  collect(node);
  const size_t before = FSelection.size();
  std::erase_if(FSelection, [&](TTreeListNode* n) { return std::find(gone.begin(), gone.end(), n) != gone.end(); });
  const bool focusGone = std::find(gone.begin(), gone.end(), FFocused) != gone.end();
  if (focusGone) FFocused = nullptr;
  if (before != FSelection.size() && OnSelectionChanged && CanFireEvents()) OnSelectionChanged(this);
  if (focusGone && OnFocusedNodeChanged && CanFireEvents()) OnFocusedNodeChanged(this, nullptr, nullptr);
}

void TTreeList::ClickNode(TTreeListNode* node, bool extend) {
  if (!node || node->TreeList() != this || !IsEnabledInTree()) return;
  if (extend && MultiSelect) {
    const auto it = std::find(FSelection.begin(), FSelection.end(), node);
    if (it == FSelection.end()) FSelection.push_back(node);
    else FSelection.erase(it);
  } else {
    FSelection.assign(1, node);
  }
  if (OnSelectionChanged && CanFireEvents()) OnSelectionChanged(this);
  SetFocusedNode(node);
}

void TTreeList::ClearSelection() {
  if (FSelection.empty()) return;
  FSelection.clear();
  if (OnSelectionChanged && CanFireEvents()) OnSelectionChanged(this);
}

void TTreeList::SetFocusedNode(TTreeListNode* node) {
  if (node && node->TreeList() != this) return;
  if (node == FFocused) return;
  TTreeListNode* previous = FFocused;
  FFocused = node;
  if (OnFocusedNodeChanged && CanFireEvents()) OnFocusedNodeChanged(this, previous, node);
}

bool TTreeList::CanEdit(TTreeListNode* node, TTreeListColumn* column) {
  if (!node || node->TreeList() != this || !column || column->TreeList() != this) return false;
  if (!IsEnabledInTree() || column->ReadOnly || column->Kind == TTreeListColumnKind::ckImage || !CanFireEvents())
    return false;
  bool allow = true;
  if (OnEditing) OnEditing(this, node, column, allow);
  return allow;
}

void TTreeList::SetCell(TTreeListNode* node, TTreeListColumn* column, const std::string& value) {
  node->SetValue(column, value);
  if (OnEditValueChanged && CanFireEvents()) OnEditValueChanged(this, node, column);
}

bool TTreeList::EditValue(TTreeListNode* node, TTreeListColumn* column, const std::string& value) {
  if (!CanEdit(node, column)) return false;
  SetCell(node, column, value);
  return true;
}

bool TTreeList::ToggleCheck(TTreeListNode* node, TTreeListColumn* column) {
  if (!column || column->Kind != TTreeListColumnKind::ckCheck || !CanEdit(node, column)) return false;
  SetCell(node, column, node->Values(column) == column->ValueChecked ? column->ValueUnchecked : column->ValueChecked);
  return true;
}

TCellStyle TTreeList::CellStyle(TTreeListNode* node, TTreeListColumn* column) {
  TCellStyle style;
  style.TextColor = Font().Color;
  style.Background = Color();
  style.Bold = (Font().Style & fsBold) != 0;
  if (OnCustomDrawCell && node && column && CanFireEvents()) OnCustomDrawCell(this, node, column, style);
  return style;
}

std::vector<TTreeListNode*> TTreeList::VisibleNodes() const {
  std::vector<TTreeListNode*> nodes;
  std::function<void(TTreeListNode*)> walk = [&](TTreeListNode* node) {
    for (auto& child : node->FChildren) {
      nodes.push_back(child.get());
      if (child->Expanded()) walk(child.get());
    }
  };
  walk(FRoot.get());
  return nodes;
}

void TTreeList::WndProc(TMessage& message) {
  if (message.Msg == os::WM_GETDLGCODE) {
    message.Result = os::DLGC_WANTARROWS;
    return;
  }
  TWinControl::WndProc(message);
}

void TTreeList::KeyDown(uint16_t& key, TShiftState shift) {
  if (key != os::VK_UP && key != os::VK_DOWN) return;
  const auto nodes = VisibleNodes();
  if (nodes.empty()) return;
  auto it = std::find(nodes.begin(), nodes.end(), FFocused);
  TTreeListNode* next = nullptr;
  if (it == nodes.end()) next = nodes.front();
  else if (key == os::VK_DOWN) next = (it + 1 == nodes.end()) ? *it : *(it + 1);
  else next = (it == nodes.begin()) ? *it : *(it - 1);
  ClickNode(next, (shift & ssCtrl) != 0);
  key = 0;
}

void TTreeList::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  properties.push_back("nodes=" + std::to_string(AbsoluteCount()));
  if (MultiSelect) properties.push_back("multiselect");
}

std::string TTreeList::DescribeGrid() const {
  std::vector<const TTreeListColumn*> shown;
  for (const TTreeListColumn* c : FColumns)
    if (ColumnShown(c)) shown.push_back(c);
  std::string out;
  for (int32_t b = 0; b < BandCount(); ++b) {
    const TTreeListBand& band = FBands[static_cast<size_t>(b)];
    if (!band.Visible) continue;
    out += "[" + band.Caption + "]";
    for (const TTreeListColumn* c : shown)
      if (c->BandIndex == b) out += " " + c->Caption + ";";
    out += "\n";
  }
  std::function<void(const TTreeListNode*)> walk = [&](const TTreeListNode* node) {
    for (const auto& child : node->FChildren) {
      const TTreeListNode* n = child.get();
      out.append(static_cast<size_t>(n->Level()) * 2, ' ');
      out += n->Focused() ? ">" : " ";
      out += n->Selected() ? "*" : " ";
      for (size_t i = 0; i < shown.size(); ++i) {
        if (i) out += " | ";
        out += n->Texts(shown[i]);
      }
      out += "\n";
      walk(n);
    }
  };
  walk(FRoot.get());
  return out;
}

}  // namespace tavix
