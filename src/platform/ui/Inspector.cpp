#include "platform/ui/Inspector.h"

#include <algorithm>
#include <charconv>

namespace tavix {

int32_t TInspectorRow::Level() const {
  int32_t level = 0;
  for (const TInspectorRow* p = FParent; p; p = p->FParent) ++level;
  return level;
}

TInspector::TInspector(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 300, 200);
  SetTabStop(true);
  SetColor(clWindow);
}

TInspectorRow* TInspector::AddRow(TInspectorRowKind kind, TInspectorRow* parent) {
  if (parent && !Contains(parent)) throw EInvalidOperation("The parent row belongs to another inspector");
  auto& list = parent ? parent->FChildren : FRows;
  list.push_back(std::unique_ptr<TInspectorRow>(new TInspectorRow(this, kind, parent)));
  return list.back().get();
}

bool TInspector::Contains(const TInspectorRow* row) const {
  bool found = false;
  ForEachRow([&](TInspectorRow* r) { found = found || r == row; });
  return found;
}

void TInspector::DeleteRow(TInspectorRow* row) {
  if (!row || !Contains(row)) return;
  for (const TInspectorRow* r = FFocusedRow; r; r = r->Parent())
    if (r == row) {
      FFocusedRow = nullptr;
      break;
    }
  auto& list = row->FParent ? row->FParent->FChildren : FRows;
  list.erase(std::remove_if(list.begin(), list.end(), [row](const auto& r) { return r.get() == row; }), list.end());
}

void TInspector::ClearRows() {
  FFocusedRow = nullptr;
  FRows.clear();
}

void TInspector::ForEachRow(const std::function<void(TInspectorRow*)>& visit) const {
  std::function<void(const std::vector<std::unique_ptr<TInspectorRow>>&)> walk = [&](const auto& rows) {
    for (const auto& row : rows) {
      visit(row.get());
      walk(row->FChildren);
    }
  };
  walk(FRows);
}

void TInspector::FullExpand() {
  ForEachRow([](TInspectorRow* row) { row->Expanded = true; });
}

void TInspector::SetFocusedRow(TInspectorRow* row) {
  if (row && !Contains(row)) return;
  FFocusedRow = row;
}

namespace {

bool ParseWholeNumber(const std::string& text, double& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  long long parsed = 0;
  const auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), parsed);
  if (ec != std::errc() || ptr != t.data() + t.size()) return false;
  value = static_cast<double>(parsed);
  return true;
}

}  // namespace

bool TInspector::EditValue(TInspectorRow* row, const std::string& value) {
  if (!row || !Contains(row) || row->Kind() == TInspectorRowKind::rkCategory || row->ReadOnly || !IsEnabledInTree() ||
      !CanFireEvents())
    return false;
  switch (row->Kind()) {
    case TInspectorRowKind::rkSpin: {
      double number = 0;
      if (!ParseWholeNumber(value, number)) return false;
      if (row->MinValue < row->MaxValue && (number < row->MinValue || number > row->MaxValue)) return false;
      break;
    }
    case TInspectorRowKind::rkPick:
      if (value.empty() ? !row->AllowEmpty
                        : std::find(row->Items.begin(), row->Items.end(), value) == row->Items.end())
        return false;
      break;
    default:
      break;
  }
  bool allow = true;
  if (OnEditing) OnEditing(this, row, allow);
  if (!allow) return false;
  FFocusedRow = row;
  row->Value = value;
  if (row->OnChange) row->OnChange(row);
  return true;
}

TCellStyle TInspector::CaptionStyle(TInspectorRow* row) {
  TCellStyle style;
  style.TextColor = Font().Color;
  style.Background = Color();
  style.Bold = row && row->Kind() == TInspectorRowKind::rkCategory;
  if (OnDrawRowHeader && row && CanFireEvents()) OnDrawRowHeader(this, row, style);
  return style;
}

TCellStyle TInspector::ValueStyle(TInspectorRow* row) {
  TCellStyle style;
  style.TextColor = Font().Color;
  style.Background = Color();
  if (OnDrawValue && row && CanFireEvents()) OnDrawValue(this, row, style);
  return style;
}

std::string TInspector::DescribeRows() const {
  std::string out;
  ForEachRow([&](TInspectorRow* row) {
    out.append(static_cast<size_t>(row->Level()) * 2, ' ');
    if (row->Kind() == TInspectorRowKind::rkCategory) {
      out += "+ " + row->Caption;
    } else {
      out += row->Caption + " = " + row->Value;
      if (row->Kind() == TInspectorRowKind::rkPick) {
        out += " {";
        for (size_t i = 0; i < row->Items.size(); ++i) out += (i ? "," : "") + row->Items[i];
        out += "}";
      }
      if (row->ReadOnly) out += " (read-only)";
    }
    if (!row->Visible) out += " (hidden)";
    out += "\n";
  });
  return out;
}

void TInspector::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  int32_t count = 0;
  ForEachRow([&](TInspectorRow*) { ++count; });
  properties.push_back("rows=" + std::to_string(count));
  properties.push_back("divider=" + std::to_string(DividerPos));
}

}  // namespace tavix
