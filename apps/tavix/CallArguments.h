// Typed arguments of `tavix call`, written on the command line as
//   i:3  int32      l:5  int64      d:1.5  double      b:true  Boolean      s:text  text
//   n    empty      rb:false  Boolean by reference (its value is shown after the call)
// A bare decimal or 0x-hexadecimal integer is an int32; any other bare word is text.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/automation/AutoTypes.h"

namespace tavix::cli {

class CallArguments {
 public:
  // Parses every argument; raises ECommandError naming the first one that is malformed.
  explicit CallArguments(const std::vector<std::string>& texts);
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;

  // The arguments in caller order, as they go into the call (by-reference ones point into
  // this object).
  std::vector<VARIANT> Raw() const;

  struct Reference {
    size_t Position;  // 0-based caller position
    const VARIANT_BOOL* Value;
  };
  std::vector<Reference> References() const;

 private:
  std::vector<Variant> FValues;
  std::deque<VARIANT_BOOL> FBoolRefs;
  std::vector<std::pair<size_t, VARIANT_BOOL*>> FRefSlots;
};

}  // namespace tavix::cli
