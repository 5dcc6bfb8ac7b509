// A property inspector: rows of caption and value under category rows. Editor rows are text
// rows, spin rows (whole numbers within bounds) or pick rows (one of a list of choices). The
// user's edits go through OnEditing and the row's OnChange; drawing asks OnDrawRowHeader and
// OnDrawValue.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"

namespace tavix {

class TInspector;

enum class TInspectorRowKind { rkCategory, rkText, rkSpin, rkPick };
enum class TInspectorPaintStyle { ipsStandard, ipsNET };

class TInspectorRow {
 public:
  TInspector* Inspector() const { return FInspector; }
  TInspectorRowKind Kind() const { return FKind; }
  TInspectorRow* Parent() const { return FParent; }
  int32_t ChildCount() const { return static_cast<int32_t>(FChildren.size()); }
  TInspectorRow* Children(int32_t index) const { return FChildren.at(static_cast<size_t>(index)).get(); }
  int32_t Level() const;

  std::string Caption;
  std::string Value;
  std::string Hint;
  bool ReadOnly = false;
  bool Visible = true;
  bool Expanded = false;
  void* Data = nullptr;
  // Spin rows: the bounds (ignored while MinValue >= MaxValue).
  double MinValue = 0;
  double MaxValue = 0;
  // Pick rows: the choices; without AllowEmpty the text cannot be cleared.
  std::vector<std::string> Items;
  bool AllowEmpty = true;
  // The row's change event: a user's edit changed the value.
  std::function<void(TInspectorRow* row)> OnChange;

 private:
  friend class TInspector;
  TInspectorRow(TInspector* inspector, TInspectorRowKind kind, TInspectorRow* parent)
      : FInspector(inspector), FKind(kind), FParent(parent) {}
  TInspector* FInspector;
  TInspectorRowKind FKind;
  TInspectorRow* FParent;
  std::vector<std::unique_ptr<TInspectorRow>> FChildren;
};

using TInspectorEditingEvent = std::function<void(TObject* sender, TInspectorRow* row, bool& allow)>;
using TInspectorDrawEvent = std::function<void(TObject* sender, TInspectorRow* row, TCellStyle& style)>;

class TInspector : public TWinControl {
 public:
  explicit TInspector(TComponent* owner = nullptr);

  // A new row at the end of the top level or of a parent row's children.
  TInspectorRow* AddRow(TInspectorRowKind kind, TInspectorRow* parent = nullptr);
  // Removes and frees the row with its children.
  void DeleteRow(TInspectorRow* row);
  void ClearRows();
  int32_t RowCount() const { return static_cast<int32_t>(FRows.size()); }
  TInspectorRow* Rows(int32_t index) const { return FRows.at(static_cast<size_t>(index)).get(); }
  // Every row, parents before their children.
  void ForEachRow(const std::function<void(TInspectorRow*)>& visit) const;
  void FullExpand();
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
  }
  bool IsUpdating() const { return FUpdateCount > 0; }

  TInspectorRow* FocusedRow() const { return FFocusedRow; }
  void SetFocusedRow(TInspectorRow* row);

  int32_t DividerPos = 150;
  bool ShowRowHint = false;
  TInspectorPaintStyle PaintStyle = TInspectorPaintStyle::ipsStandard;

  // The user's edit of a row's value. Refused (false, nothing changes) for category rows,
  // read-only rows, a disabled inspector, an OnEditing veto, a spin value that is no whole
  // number within the bounds, a pick value that is not among the choices (or empty where not
  // allowed). Otherwise the value is set and the row's OnChange fires.
  bool EditValue(TInspectorRow* row, const std::string& value);

  TCellStyle CaptionStyle(TInspectorRow* row);
  TCellStyle ValueStyle(TInspectorRow* row);

  TInspectorEditingEvent OnEditing;
  TInspectorDrawEvent OnDrawRowHeader;
  TInspectorDrawEvent OnDrawValue;

  // The rows as text, children indented: "+ Category" and "Caption = Value" with
  // "(read-only)", "(hidden)" and "{choices}" where they apply.
  std::string DescribeRows() const;

 protected:
  void DescribeProperties(std::vector<std::string>& properties) const override;

 private:
  bool Contains(const TInspectorRow* row) const;

  std::vector<std::unique_ptr<TInspectorRow>> FRows;
  TInspectorRow* FFocusedRow = nullptr;
  int32_t FUpdateCount = 0;
};

}  // namespace tavix
