// A tree list: a grid of nodes (rows that may hold child rows) under columns grouped in bands.
// Columns show text, a check box (a text value standing for checked, unchecked or grayed) or an
// image picked by the cell's value. Several rows can be selected; one has the focus. The user's
// edits go through OnEditing and raise OnEditValueChanged; drawing asks OnCustomDrawCell.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Controls.h"

namespace tavix {

class TTreeList;
class TTreeListNode;

struct TTreeListBand {
  std::string Caption;
  bool Visible = true;
  int32_t Width = 0;
};

enum class TTreeListColumnKind { ckText, ckCheck, ckImage };

// The image shown for one cell value, with its description text.
struct TImageComboItem {
  std::string Value;
  int32_t ImageIndex = -1;
  std::string Description;
};

class TTreeListColumn : public TComponent {
 public:
  TTreeList* TreeList() const { return FTreeList; }
  // Stable number under which nodes keep this column's values.
  int32_t ItemIndex() const { return FItemIndex; }
  // Position among the tree list's columns.
  int32_t Index() const;

  std::string Caption;
  int32_t BandIndex = 0;
  bool Visible = true;
  int32_t Width = 100;
  bool ReadOnly = false;
  TTreeListColumnKind Kind = TTreeListColumnKind::ckText;
  // Check columns: the values that mean checked and unchecked; anything else is grayed.
  std::string ValueChecked = "True";
  std::string ValueUnchecked = "False";
  std::string ValueGrayed;
  // Image columns.
  TImageList* Images = nullptr;
  std::vector<TImageComboItem> ImageItems;

  // The image (-1 for none) and the text a value shows in this column.
  int32_t DisplayImage(const std::string& value) const;
  std::string DisplayText(const std::string& value) const;

 private:
  friend class TTreeList;
  TTreeListColumn(TTreeList* treeList, int32_t itemIndex);
  ~TTreeListColumn() override;
  TTreeList* FTreeList;
  int32_t FItemIndex;
};

class TTreeListNode {
 public:
  TTreeList* TreeList() const { return FTreeList; }
  // Null for a top-level node.
  TTreeListNode* Parent() const;
  bool IsTopLevel() const { return Parent() == nullptr; }
  int32_t Level() const;
  int32_t Index() const;
  int32_t Count() const { return static_cast<int32_t>(FChildren.size()); }
  TTreeListNode* Items(int32_t index) const { return FChildren.at(static_cast<size_t>(index)).get(); }
  TTreeListNode* AddChild();
  // Removes and frees the node with its children (selection and focus let go of them).
  void Delete();

  std::string Values(const TTreeListColumn* column) const;
  void SetValue(const TTreeListColumn* column, const std::string& value);
  // The text a cell shows (a check column's value, an image column's description).
  std::string Texts(const TTreeListColumn* column) const;

  void* Data = nullptr;
  int32_t ImageIndex = -1;
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool value) { FExpanded = value; }
  void Expand(bool recurse);
  bool Selected() const;
  bool Focused() const;

 private:
  friend class TTreeList;
  explicit TTreeListNode(TTreeList* treeList, TTreeListNode* parent) : FTreeList(treeList), FParent(parent) {}
  TTreeList* FTreeList;
  TTreeListNode* FParent;  // the hidden root for top-level nodes
  std::vector<std::unique_ptr<TTreeListNode>> FChildren;
  std::map<int32_t, std::string> FValues;
  bool FExpanded = false;
};

using TTreeListEditingEvent =
    std::function<void(TObject* sender, TTreeListNode* node, TTreeListColumn* column, bool& allow)>;
using TTreeListEditedEvent = std::function<void(TObject* sender, TTreeListNode* node, TTreeListColumn* column)>;
using TTreeListDrawCellEvent =
    std::function<void(TObject* sender, TTreeListNode* node, TTreeListColumn* column, TCellStyle& style)>;
using TTreeListFocusedChangedEvent =
    std::function<void(TObject* sender, TTreeListNode* previous, TTreeListNode* focused)>;

class TTreeList : public TWinControl {
 public:
  explicit TTreeList(TComponent* owner = nullptr);
  ~TTreeList() override;

  // ---- bands and columns ----
  TTreeListBand& AddBand(const std::string& caption);
  int32_t BandCount() const { return static_cast<int32_t>(FBands.size()); }
  TTreeListBand& Bands(int32_t index) { return FBands.at(static_cast<size_t>(index)); }
  const TTreeListBand& Bands(int32_t index) const { return FBands.at(static_cast<size_t>(index)); }
  // A new column (owned by the tree list) in the given band.
  TTreeListColumn* CreateColumn(const std::string& name, const std::string& caption, int32_t bandIndex = 0,
                                TTreeListColumnKind kind = TTreeListColumnKind::ckText);
  int32_t ColumnCount() const { return static_cast<int32_t>(FColumns.size()); }
  TTreeListColumn* Columns(int32_t index) const { return FColumns.at(static_cast<size_t>(index)); }
  TTreeListColumn* ColumnByName(const std::string& name) const;
  // Shown: visible itself and in a visible band.
  bool ColumnShown(const TTreeListColumn* column) const;

  // ---- nodes ----
  int32_t Count() const { return FRoot->Count(); }
  TTreeListNode* Items(int32_t index) const { return FRoot->Items(index); }
  TTreeListNode* Add() { return FRoot->AddChild(); }
  void Clear();
  int32_t AbsoluteCount() const;
  // Every node, parents before their children.
  void ForEachNode(const std::function<void(TTreeListNode*)>& visit) const;
  void FullExpand();
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  bool IsUpdating() const { return FUpdateCount > 0; }

  // ---- selection and focus ----
  bool MultiSelect = false;
  int32_t SelectionCount() const { return static_cast<int32_t>(FSelection.size()); }
  TTreeListNode* Selections(int32_t index) const { return FSelection.at(static_cast<size_t>(index)); }
  // The user's click on a row: alone it selects only that row and focuses it; with `extend`
  // (Ctrl held, multi-select only) it toggles the row in the selection.
  void ClickNode(TTreeListNode* node, bool extend = false);
  void ClearSelection();
  TTreeListNode* FocusedNode() const { return FFocused; }
  void SetFocusedNode(TTreeListNode* node);

  // ---- the user's edits ----
  // Types a value into a cell; false when the list is disabled, the column read-only or an
  // image column, or OnEditing refuses.
  bool EditValue(TTreeListNode* node, TTreeListColumn* column, const std::string& value);
  // Clicks a check cell: checked becomes unchecked, anything else checked. Same refusals.
  bool ToggleCheck(TTreeListNode* node, TTreeListColumn* column);

  // ---- drawing ----
  TCellStyle CellStyle(TTreeListNode* node, TTreeListColumn* column);

  TTreeListEditingEvent OnEditing;
  TTreeListEditedEvent OnEditValueChanged;
  TTreeListDrawCellEvent OnCustomDrawCell;
  TNotifyEvent OnSelectionChanged;
  TTreeListFocusedChangedEvent OnFocusedNodeChanged;

  // The grid as text: band and column captions of the shown columns, then one line per node
  // (indented by level; ">" focused, "*" selected) with its cell texts separated by " | ".
  std::string DescribeGrid() const;

 protected:
  void WndProc(TMessage& message) override;
  void KeyDown(uint16_t& key, TShiftState shift) override;
  void DescribeProperties(std::vector<std::string>& properties) const override;

 private:
  friend class TTreeListNode;
  friend class TTreeListColumn;
  bool CanEdit(TTreeListNode* node, TTreeListColumn* column);
  void SetCell(TTreeListNode* node, TTreeListColumn* column, const std::string& value);
  // The node goes away: selection and focus forget it and its children.
  void ForgetNode(TTreeListNode* node);
  void ColumnGone(TTreeListColumn* column);
  // Nodes in display order that are reachable through expanded parents.
  std::vector<TTreeListNode*> VisibleNodes() const;

  std::vector<TTreeListBand> FBands;
  std::vector<TTreeListColumn*> FColumns;
  int32_t FNextItemIndex = 0;
  std::unique_ptr<TTreeListNode> FRoot;
  std::vector<TTreeListNode*> FSelection;
  TTreeListNode* FFocused = nullptr;
  int32_t FUpdateCount = 0;
};

}  // namespace tavix
