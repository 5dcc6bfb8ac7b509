#include "simhost/SimHost.Options.h"

#include <pugixml.hpp>

#include <sstream>

#include "platform/Files.h"

namespace tavix::sim {

bool OptionsStore::NoCase::operator()(const std::tuple<std::string, std::string, std::string>& a,
                                      const std::tuple<std::string, std::string, std::string>& b) const {
  if (const int c = CompareText(std::get<0>(a), std::get<0>(b))) return c < 0;
  if (const int c = CompareText(std::get<1>(a), std::get<1>(b))) return c < 0;
  return CompareText(std::get<2>(a), std::get<2>(b)) < 0;
}

std::optional<std::string> OptionsStore::Value(const std::string& server, const std::string& section,
                                               const std::string& key) const {
  const auto it = FValues.find({server, section, key});
  if (it == FValues.end()) return std::nullopt;
  return it->second;
}

void OptionsStore::SetValue(const std::string& server, const std::string& section, const std::string& key,
                            const std::string& value) {
  if (server.empty() || key.empty()) throw EOleError(E_INVALIDARG, "an option needs a server and a key");
  const auto [it, inserted] = FValues.try_emplace({server, section, key}, value);
  if (!inserted && it->second == value) return;
  it->second = value;
  FModified = true;
}

void OptionsStore::Clear() {
  FModified = FModified || !FValues.empty();
  FValues.clear();
}

bool OptionsStore::ReadBoolean(const std::string& server, const std::string& section, const std::string& key,
                               bool fallback) const {
  const std::optional<std::string> text = Value(server, section, key);
  if (!text) return fallback;
  if (SameText(*text, "True")) return true;
  if (SameText(*text, "False")) return false;
  return fallback;
}

void OptionsStore::WriteBoolean(const std::string& server, const std::string& section, const std::string& key,
                                bool value) {
  SetValue(server, section, key, value ? "True" : "False");
}

void OptionsStore::SaveToFile(const std::string& path) {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("Options");
  for (const auto& [key, value] : FValues) {
    pugi::xml_node item = root.append_child("Option");
    item.append_attribute("Server") = std::get<0>(key).c_str();
    item.append_attribute("Section") = std::get<1>(key).c_str();
    item.append_attribute("Key") = std::get<2>(key).c_str();
    item.append_attribute("Value") = value.c_str();
  }
  std::ostringstream text;
  doc.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
  if (!WriteFileAtomically(path, text.str())) throw ESimHostError("cannot write the options file " + path);
  FModified = false;
}

void OptionsStore::LoadFromFile(const std::string& path) {
  std::string text;
  if (!ReadFileText(path, text)) throw ESimHostError("cannot read the options file " + path);
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
  if (!parsed) throw ESimHostError("options file " + path + " is not valid XML: " + parsed.description());
  const pugi::xml_node root = doc.child("Options");
  if (!root) throw ESimHostError("options file " + path + " has no Options element");
  Map loaded;
  for (const pugi::xml_node item : root.children("Option")) {
    const std::string server = item.attribute("Server").as_string();
    const std::string key = item.attribute("Key").as_string();
    if (server.empty() || key.empty() || !item.attribute("Value"))
      throw ESimHostError("options file " + path + " has an option without server, key or value");
    loaded[{server, item.attribute("Section").as_string(), key}] = item.attribute("Value").as_string();
  }
  FValues.swap(loaded);
  FModified = false;
}

OptionsAccess::OptionsAccess(std::shared_ptr<OptionsStore> store, std::string server, bool writer)
    : FStore(std::move(store)), FServer(std::move(server)), FWriter(writer) {}

bool OptionsAccess::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id == 273 && !FWriter) {  // ReadBoolean(section, key, default)
    SetResultBool(result, FStore->ReadBoolean(FServer, args.Str(0), args.Str(1), args.Bool(2)));
    return true;
  }
  if (id == 281 && FWriter) {  // WriteBoolean(section, key, value)
    FStore->WriteBoolean(FServer, args.Str(0), args.Str(1), args.Bool(2));
    return true;
  }
  return false;
}

bool OptionsManager::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 285: {  // GetOptionsReader(server name, "")
      const std::string server = args.Str(0);
      Expect(!server.empty(), "options belong to a named server");
      SetResultDispatch(result, MakeHostObject<OptionsAccess>(FStore, server, false)->AsDispatch());
      return true;
    }
    case 286: {  // GetOptionsWriter(server name)
      const std::string server = args.Str(0);
      Expect(!server.empty(), "options belong to a named server");
      SetResultDispatch(result, MakeHostObject<OptionsAccess>(FStore, server, true)->AsDispatch());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tavix::sim
