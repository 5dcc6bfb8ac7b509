#include "host/Opal.Param.h"

#include <charconv>
#include <stdexcept>

#include "platform/automation/AutoTypes.h"

namespace tavix {

void TParameterList::SetState(const std::string& text) {
  FItems.clear();
  // A name runs up to the first "="; the value up to the next "|" (a later "=" belongs to
  // the value); a segment without "=" adds nothing.
  size_t mark = 0;
  bool readingName = true;
  std::string name;
  for (size_t i = 0; i <= text.size(); ++i) {
    const bool atEnd = i == text.size();
    const char c = atEnd ? '|' : text[i];
    if (c == '=' && readingName) {
      name = text.substr(mark, i - mark);
      readingName = false;
      mark = i + 1;
    } else if (c == '|') {
      if (!readingName) SetState_AddParameter(name, text.substr(mark, i - mark));
      readingName = true;
      mark = i + 1;
    }
  }
}

std::string TParameterList::GetState() const {
  std::string text;
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (i) text += '|';
    text += FItems[i]->Name();
    text += '=';
    text += FItems[i]->Value().empty() ? std::string(" ") : FItems[i]->Value();
  }
  return text;
}

void TParameterList::SetState_AddParameter(const std::string& name, const std::string& value) {
  std::string trimmed = Trim(name);
  if (trimmed.empty()) return;
  FItems.push_back(std::make_unique<TParameter>(std::move(trimmed), Trim(value)));
}

void TParameterList::SetState_AddParameterAsBoolean(const std::string& name, bool value) {
  SetState_AddParameter(name, value ? "True" : "False");
}

void TParameterList::SetState_AddParameterAsInteger(const std::string& name, int32_t value) {
  SetState_AddParameter(name, std::to_string(value));
}

void TParameterList::SetState_AddParameterAsInt64(const std::string& name, int64_t value) {
  SetState_AddParameter(name, std::to_string(value));
}

void TParameterList::SetState_AddParameterAsDouble(const std::string& name, double value) {
  // Fifteen significant digits, "." as the separator whatever the process locale says.
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  SetState_AddParameter(name, ec == std::errc() ? std::string(buffer, end) : std::string());
}

TParameter* TParameterList::GetState_ParameterByName(const std::string& name) const {
  const std::string key = Trim(name);
  for (const auto& item : FItems)
    if (SameText(item->Name(), key)) return item.get();
  return nullptr;
}

void TParameterList::SetState_RemoveByName(const std::string& name) {
  const std::string key = Trim(name);
  for (auto it = FItems.begin(); it != FItems.end(); ++it)
    if (SameText((*it)->Name(), key)) {
      FItems.erase(it);
      return;
    }
}

bool TParameterList::GetState_ParameterAsString(const std::string& name, std::string& value) const {
  const TParameter* p = GetState_ParameterByName(name);
  value = p ? p->Value() : std::string();
  return p != nullptr;
}

namespace {

// Whole text as a decimal integer (optional sign), or false.
template <class T>
bool ParseWhole(const std::string& text, T& out) {
  const std::string t = Trim(text);
  const char* first = t.data() + (!t.empty() && t[0] == '+' ? 1 : 0);
  T value{};
  auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), value);
  if (ec != std::errc() || ptr != t.data() + t.size() || t.empty()) return false;
  out = value;
  return true;
}

// Whole text as a number with "." as the decimal separator, whatever the process locale says.
bool ParseReal(const std::string& text, double& out) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  double value = 0;
  const auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), value);
  if (ec != std::errc() || ptr != t.data() + t.size()) return false;
  out = value;
  return true;
}

template <class Narrow>
bool ReadNarrow(const TParameterList& list, const std::string& name, Narrow& value) {
  int32_t wide;
  if (!list.GetState_ParameterAsInteger(name, wide)) return false;
  value = static_cast<Narrow>(wide);  // keeps the low bits
  return true;
}

}  // namespace

bool TParameterList::GetState_ParameterAsInteger(const std::string& name, int32_t& value) const {
  const TParameter* p = GetState_ParameterByName(name);
  return p && ParseWhole(p->Value(), value);
}

bool TParameterList::GetState_ParameterAsSmallInt(const std::string& name, int16_t& value) const {
  return ReadNarrow(*this, name, value);
}

bool TParameterList::GetState_ParameterAsWord(const std::string& name, uint16_t& value) const {
  return ReadNarrow(*this, name, value);
}

bool TParameterList::GetState_ParameterAsByte(const std::string& name, uint8_t& value) const {
  return ReadNarrow(*this, name, value);
}

bool TParameterList::GetState_ParameterAsInt64(const std::string& name, int64_t& value) const {
  const TParameter* p = GetState_ParameterByName(name);
  return p && ParseWhole(p->Value(), value);
}

bool TParameterList::GetState_ParameterAsReal(const std::string& name, double& value) const {
  const TParameter* p = GetState_ParameterByName(name);
  return p && ParseReal(p->Value(), value);
}

bool TParameterList::GetState_ParameterAsDouble(const std::string& name, double& value) const {
  const TParameter* p = GetState_ParameterByName(name);
  if (!p) return false;
  if (!ParseReal(p->Value(), value)) throw std::invalid_argument("'" + p->Value() + "' is not a valid number");
  return true;
}

bool TParameterList::GetState_ParameterAsBoolean(const std::string& name, bool& value) const {
  const TParameter* p = GetState_ParameterByName(name);
  if (!p) return false;
  value = SameText(Trim(p->Value()), "True");
  return true;
}

bool GetParameterFromString(const std::string& text, const std::string& name, std::string& value) {
  // One shared list, parsed again only for a different text (the host's thread only).
  static TParameterList shared;
  static std::string lastText;
  static bool parsed = false;
  if (!parsed || text != lastText) {
    shared.SetState(text);
    lastText = text;
    parsed = true;
  }
  return shared.GetState_ParameterAsString(name, value);
}

void SetParameterInString(std::string& text, const std::string& name, const std::string& value) {
  TParameterList list;
  list.SetState(text);
  if (TParameter* p = list.GetState_ParameterByName(name)) p->SetValue(Trim(value));
  else list.SetState_AddParameter(name, value);
  text = list.GetState();
}

}  // namespace tavix
