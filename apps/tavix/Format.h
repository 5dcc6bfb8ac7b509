// Output helpers shared by the commands: result codes by name, and plain-text tables.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/automation/Automation.h"

namespace tavix::cli {

// "E_NOTIMPL 0x80004001"; an unnamed code is its hexadecimal form only.
std::string DescribeHResult(HRESULT hr);

// Columns padded to their widest cell, separated by two blanks; numeric columns right-aligned.
class TextTable {
 public:
  explicit TextTable(std::vector<std::string> header, std::vector<bool> rightAligned = {});
  void AddRow(std::vector<std::string> cells);
  void Print(std::ostream& out) const;

 private:
  std::vector<std::vector<std::string>> FRows;
  std::vector<bool> FRight;
};

}  // namespace tavix::cli
