// Parameter strings: pairs name "=" value joined by "|"; names and values trimmed, names
// compared without regard to case. Host processes and host messages take such strings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavix {

class TParameter {
 public:
  TParameter(std::string name, std::string value) : FName(std::move(name)), FValue(std::move(value)) {}
  const std::string& Name() const { return FName; }
  const std::string& Value() const { return FValue; }
  void SetValue(std::string value) { FValue = std::move(value); }

 private:
  std::string FName;
  std::string FValue;
};

class TParameterList {
 public:
  // Clears the list, then parses the text.
  void SetState(const std::string& text);
  void SetState_FromString(const std::string& text) { SetState(text); }
  // Items joined by "|", each name "=" value; an empty value is written as one blank.
  std::string GetState() const;
  std::string GetState_ToString() const { return GetState(); }

  // Appends a pair (name and value trimmed); an empty name adds nothing; duplicates are kept.
  void SetState_AddParameter(const std::string& name, const std::string& value);
  void SetState_AddParameterAsString(const std::string& name, const std::string& value) {
    SetState_AddParameter(name, value);
  }
  void SetState_AddParameterAsBoolean(const std::string& name, bool value);
  void SetState_AddParameterAsInteger(const std::string& name, int32_t value);
  void SetState_AddParameterAsInt64(const std::string& name, int64_t value);
  void SetState_AddParameterAsDouble(const std::string& name, double value);

  // First item whose name equals the trimmed name without regard to case, or null.
  TParameter* GetState_ParameterByName(const std::string& name) const;
  void SetState_RemoveByName(const std::string& name);
  void ClearAllParameters() { FItems.clear(); }

  // Typed readers: false when the name is absent or (integers, AsReal) the value does not
  // parse, leaving the output unchanged; AsString and AsPChar then give an empty text.
  bool GetState_ParameterAsString(const std::string& name, std::string& value) const;
  bool GetState_ParameterAsPChar(const std::string& name, std::string& value) const {
    return GetState_ParameterAsString(name, value);
  }
  bool GetState_ParameterAsInteger(const std::string& name, int32_t& value) const;
  bool GetState_ParameterAsLongInt(const std::string& name, int32_t& value) const {
    return GetState_ParameterAsInteger(name, value);
  }
  bool GetState_ParameterAsSmallInt(const std::string& name, int16_t& value) const;
  bool GetState_ParameterAsWord(const std::string& name, uint16_t& value) const;
  bool GetState_ParameterAsByte(const std::string& name, uint8_t& value) const;
  bool GetState_ParameterAsInt64(const std::string& name, int64_t& value) const;
  bool GetState_ParameterAsReal(const std::string& name, double& value) const;
  // Parses with "." as decimal separator; raises std::invalid_argument on text that is no number.
  bool GetState_ParameterAsDouble(const std::string& name, double& value) const;
  // True when the trimmed value equals "True" in any case.
  bool GetState_ParameterAsBoolean(const std::string& name, bool& value) const;
  bool GetState_ParameterAsWordBool(const std::string& name, bool& value) const {
    return GetState_ParameterAsBoolean(name, value);
  }

  int Count() const { return static_cast<int>(FItems.size()); }
  const TParameter& Item(int index) const { return *FItems.at(static_cast<size_t>(index)); }

 private:
  std::vector<std::unique_ptr<TParameter>> FItems;
};

// Looks a parameter up in a parameter string; the string is parsed into one shared list that
// is parsed again only when the text differs from the one parsed last.
bool GetParameterFromString(const std::string& text, const std::string& name, std::string& value);
// Replaces the value of the first item of that name, or appends one, and writes the text back.
void SetParameterInString(std::string& text, const std::string& name, const std::string& value);

}  // namespace tavix
