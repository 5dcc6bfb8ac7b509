#include "CallArguments.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <type_traits>

#include "Session.h"

namespace tavix::cli {

namespace {

template <class T>
bool ParseInteger(const std::string& text, T& value) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) return false;
  // Parse as unsigned 64-bit, then fit: hexadecimal may give the full bit pattern of the type.
  uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return false;
  using U = std::make_unsigned_t<T>;
  constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<T>::max());
  if (negative) {
    if (magnitude > kMax + 1) return false;
    value = static_cast<T>(static_cast<U>(0) - static_cast<U>(magnitude));
    return true;
  }
  if (magnitude > kMax && !(base == 16 && magnitude <= static_cast<uint64_t>(std::numeric_limits<U>::max())))
    return false;
  value = static_cast<T>(static_cast<U>(magnitude));
  return true;
}

bool ParseBool(const std::string& text, bool& value) {
  for (const char* yes : {"true", "1", "yes", "on"})
    if (SameText(text, yes)) return value = true, true;
  for (const char* no : {"false", "0", "no", "off"})
    if (SameText(text, no)) return value = false, true;
  return false;
}

bool ParseDouble(const std::string& text, double& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size();
}

[[noreturn]] void Bad(size_t position, const std::string& text, const std::string& why) {
  throw ECommandError("argument " + std::to_string(position + 1) + " \"" + text + "\": " + why);
}

}  // namespace

CallArguments::CallArguments(const std::vector<std::string>& texts) {
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    const size_t colon = text.find(':');
    const std::string prefix = colon == std::string::npos ? std::string() : text.substr(0, colon);
    const std::string body = colon == std::string::npos ? text : text.substr(colon + 1);
    if (text == "n") {
      FValues.emplace_back();
    } else if (prefix == "i") {
      int32_t v = 0;
      if (!ParseInteger(body, v)) Bad(i, text, "not a 32-bit integer");
      FValues.push_back(Variant::FromInt(v));
    } else if (prefix == "l") {
      int64_t v = 0;
      if (!ParseInteger(body, v)) Bad(i, text, "not a 64-bit integer");
      FValues.push_back(Variant::FromInt64(v));
    } else if (prefix == "d") {
      double v = 0;
      if (!ParseDouble(body, v)) Bad(i, text, "not a number");
      FValues.push_back(Variant::FromDouble(v));
    } else if (prefix == "b" || prefix == "rb") {
      bool v = false;
      if (!ParseBool(body, v)) Bad(i, text, "not a Boolean (true or false)");
      if (prefix == "b") {
        FValues.push_back(Variant::FromBool(v));
      } else {
        FBoolRefs.push_back(v ? VARIANT_TRUE : VARIANT_FALSE);
        FRefSlots.emplace_back(i, &FBoolRefs.back());
        FValues.emplace_back();  // filled in by Raw()
      }
    } else if (prefix == "s") {
      FValues.push_back(Variant::FromString(body));
    } else {
      // A bare word: an integer when it reads as one, text otherwise.
      int32_t v = 0;
      const bool digitsOnly = !text.empty() && text.find_first_not_of("+-0123456789") == std::string::npos &&
                              text.find_first_of("0123456789") != std::string::npos;
      if (ParseInteger(text, v)) FValues.push_back(Variant::FromInt(v));
      else if (digitsOnly) Bad(i, text, "out of the 32-bit range (use l: for 64-bit)");
      else FValues.push_back(Variant::FromString(text));
    }
  }
}

std::vector<VARIANT> CallArguments::Raw() const {
  std::vector<VARIANT> raw;
  for (const Variant& v : FValues) raw.push_back(v.Raw());
  for (const auto& [position, flag] : FRefSlots) {
    raw[position].vt = VT_BOOL | VT_BYREF;
    raw[position].pboolVal = flag;
  }
  return raw;
}

std::vector<CallArguments::Reference> CallArguments::References() const {
  std::vector<Reference> refs;
  for (const auto& [position, flag] : FRefSlots) refs.push_back({position, flag});
  return refs;
}

}  // namespace tavix::cli
