#include "Format.h"

#include <algorithm>
#include <ostream>

#include "platform/automation/AutoTypes.h"

namespace tavix::cli {

std::string DescribeHResult(HRESULT hr) {
  struct Named {
    uint32_t Code;
    const char* Name;
  };
  static constexpr Named kNames[] = {
      {0x00000000u, "S_OK"},
      {0x00000001u, "S_FALSE"},
      {0x80004001u, "E_NOTIMPL"},
      {0x80004002u, "E_NOINTERFACE"},
      {0x80004003u, "E_POINTER"},
      {0x80004005u, "E_FAIL"},
      {0x8000FFFFu, "E_UNEXPECTED"},
      {0x8007000Eu, "E_OUTOFMEMORY"},
      {0x80070057u, "E_INVALIDARG"},
      {0x80020003u, "DISP_E_MEMBERNOTFOUND"},
      {0x80020004u, "DISP_E_PARAMNOTFOUND"},
      {0x80020005u, "DISP_E_TYPEMISMATCH"},
      {0x80020006u, "DISP_E_UNKNOWNNAME"},
      {0x80020009u, "DISP_E_EXCEPTION"},
      {0x8002000Au, "DISP_E_OVERFLOW"},
      {0x8002000Bu, "DISP_E_BADINDEX"},
      {0x8002000Eu, "DISP_E_BADPARAMCOUNT"},
  };
  for (const Named& n : kNames)
    if (n.Code == static_cast<uint32_t>(hr)) return std::string(n.Name) + " " + HResultText(hr);
  return HResultText(hr);
}

TextTable::TextTable(std::vector<std::string> header, std::vector<bool> rightAligned) : FRight(std::move(rightAligned)) {
  FRows.push_back(std::move(header));
}

void TextTable::AddRow(std::vector<std::string> cells) { FRows.push_back(std::move(cells)); }

void TextTable::Print(std::ostream& out) const {
  std::vector<size_t> widths;
  for (const auto& row : FRows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const auto& row : FRows) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
      const std::string pad(widths[i] - row[i].size(), ' ');
      const bool right = i < FRight.size() && FRight[i];
      const bool last = i + 1 == row.size();
      if (i > 0) line += "  ";
      line += right ? pad + row[i] : (last ? row[i] : row[i] + pad);
    }
    out << line << '\n';
  }
}

}  // namespace tavix::cli
