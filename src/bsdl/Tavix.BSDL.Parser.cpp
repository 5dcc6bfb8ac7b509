#include "bsdl/Tavix.BSDL.Parser.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>

namespace tavix {

int32_t TBsdlPortDecl::Width() const {
  if (!IsVector) return 1;
  const int64_t width = static_cast<int64_t>(RangeLeft <= RangeRight ? RangeRight : RangeLeft) -
                        (RangeLeft <= RangeRight ? RangeLeft : RangeRight) + 1;
  return width > INT32_MAX ? INT32_MAX : static_cast<int32_t>(width);
}

bool TBsdlPortDecl::Contains(int32_t index) const {
  if (!IsVector) return false;
  return RangeLeft <= RangeRight ? index >= RangeLeft && index <= RangeRight
                                 : index <= RangeLeft && index >= RangeRight;
}

void TBsdlParser::AddNote(TBsdlPosition where, const std::string& text) {
  FNotes.push_back(FFileName + ":" + std::to_string(where.Line) + ":" + std::to_string(where.Column) + ": " + text);
}

namespace {

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return result;
}

std::string TrimText(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t start = 0, end = text.size();
  while (start < end && blank(text[start])) ++start;
  while (end > start && blank(text[end - 1])) --end;
  return std::string(text.substr(start, end - start));
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A value as written after "is" or ":=".
struct TValue {
  enum class TKind { String, Integer, Real, Identifier, Character, Aggregate };
  TKind Kind = TKind::String;
  TBsdlPosition Where;
  TBsdlStringText Str;           // for strings
  std::string Text;              // identifier, number or character as written
  std::vector<TValue> Items;     // for aggregates

  // The value as one line of text: strings joined, aggregates as "(a, b)".
  std::string Display() const {
    switch (Kind) {
      case TKind::String:
        return Str.Text();
      case TKind::Aggregate: {
        std::string text = "(";
        for (size_t i = 0; i < Items.size(); ++i) text += (i ? ", " : "") + Items[i].Display();
        return text + ")";
      }
      default:
        return Text;
    }
  }
};

class TParseRun {
 public:
  TParseRun(TBsdlParser& parser, TBsdlLexer& lexer) : FParser(parser), FLexer(lexer) {
    FFile.FileName = lexer.FileName();
    Advance();
  }

  TBsdlParsedFile Run();

 private:
  // ---- tokens ----
  void Advance() { FToken = FLexer.Next(); }
  [[noreturn]] void Fail(TBsdlPosition where, const std::string& message) const { FLexer.Fail(where, message); }
  static std::string Describe(const TBsdlToken& token) {
    switch (token.Kind) {
      case TBsdlTokenKind::End:
        return "the end of the file";
      case TBsdlTokenKind::String:
        return "a string";
      default:
        return "'" + std::string(token.Text) + "'";
    }
  }
  [[noreturn]] void FailExpected(const std::string& what) const {
    Fail(FToken.Where, "expected " + what + " but found " + Describe(FToken));
  }
  void ExpectSymbol(std::string_view symbol) {
    if (!FToken.IsSymbol(symbol)) FailExpected("'" + std::string(symbol) + "'");
    Advance();
  }
  void ExpectKeyword(std::string_view keyword) {
    if (!FToken.IsKeyword(keyword)) FailExpected("'" + std::string(keyword) + "'");
    Advance();
  }
  TBsdlToken ExpectIdentifier(const std::string& what) {
    if (!FToken.Is(TBsdlTokenKind::Identifier)) FailExpected(what);
    const TBsdlToken token = FToken;
    Advance();
    return token;
  }
  int32_t ToInt(const TBsdlToken& token) const;
  int32_t ExpectInteger(const std::string& what) {
    bool negative = false;
    if (FToken.IsSymbol("-")) {
      negative = true;
      Advance();
    }
    if (!FToken.Is(TBsdlTokenKind::Integer)) FailExpected(what);
    const int32_t value = ToInt(FToken);
    Advance();
    return negative ? -value : value;
  }

  // ---- declarations ----
  void ParseGeneric();
  void ParsePorts();
  void ParseUse();
  void ParseConstant();
  void ParseAttribute();
  TValue ParseValue(int32_t depth);

  // ---- attribute contents ----
  void Interpret(const TBsdlAttributeSpec& statement, const TValue& value);
  const TBsdlStringText& NeedString(const TBsdlAttributeSpec& statement, const TValue& value) const;
  int32_t NeedInteger(const TBsdlAttributeSpec& statement, const TValue& value, int32_t limit) const;
  void SetTapPort(TBsdlTapPort& port, const TBsdlAttributeSpec& statement, const TValue& value);
  std::vector<TBsdlPinMapItem> ParsePinMap(const TBsdlStringText& text, const std::string& name) const;
  void ParseOpcodes(const TBsdlStringText& text);
  void ParseRegisters(const TBsdlStringText& text);
  void ParseCells(const TBsdlStringText& text);
  std::vector<std::string> ParsePatterns(const TBsdlStringText& text, const std::string& name, size_t length) const;
  std::string ExpectPattern(TBsdlStringLexer& lexer, const char* what) const;
  int32_t WordToInt(TBsdlStringLexer& lexer, const TBsdlToken& token, const char* what) const;

  TBsdlParser& FParser;
  TBsdlLexer& FLexer;
  TBsdlToken FToken;
  TBsdlParsedFile FFile;
  std::set<std::string> FSeenAttributes;
  int64_t FPortBits = 0;
};

int32_t TParseRun::ToInt(const TBsdlToken& token) const {
  std::string digits;
  for (char c : token.Text)
    if (c != '_') digits += c;
  int base = 10;
  const size_t hash = digits.find('#');
  if (hash != std::string::npos) {
    const std::string basePart = digits.substr(0, hash);
    base = basePart.size() <= 2 ? std::atoi(basePart.c_str()) : 0;
    if (base < 2 || base > 16) Fail(token.Where, "unsupported number base " + basePart);
    digits = digits.substr(hash + 1, digits.size() - hash - 2);
  }
  if (digits.empty()) Fail(token.Where, "number without digits");
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(digits.c_str(), &end, base);
  if (errno == ERANGE || value > INT32_MAX) Fail(token.Where, "number too large: " + std::string(token.Text));
  if (!end || *end != '\0') Fail(token.Where, "malformed number " + std::string(token.Text));
  return static_cast<int32_t>(value);
}

TBsdlParsedFile TParseRun::Run() {
  ExpectKeyword("entity");
  const TBsdlToken name = ExpectIdentifier("the entity name");
  FFile.EntityName = std::string(name.Text);
  FFile.EntityWhere = name.Where;
  ExpectKeyword("is");
  for (;;) {
    if (FToken.IsKeyword("generic")) ParseGeneric();
    else if (FToken.IsKeyword("port")) ParsePorts();
    else if (FToken.IsKeyword("use")) ParseUse();
    else if (FToken.IsKeyword("constant")) ParseConstant();
    else if (FToken.IsKeyword("attribute")) ParseAttribute();
    else if (FToken.IsKeyword("end")) break;
    else if (FToken.Is(TBsdlTokenKind::End)) Fail(FToken.Where, "unexpected end of file: 'end " + FFile.EntityName + ";' is missing");
    else FailExpected("generic, port, use, constant, attribute or end");
  }
  Advance();
  if (FToken.IsKeyword("entity")) Advance();
  if (FToken.Is(TBsdlTokenKind::Identifier)) {
    if (Upper(FToken.Text) != Upper(FFile.EntityName))
      Fail(FToken.Where, "'end " + std::string(FToken.Text) + "' does not close entity " + FFile.EntityName);
    Advance();
  }
  ExpectSymbol(";");
  if (!FToken.Is(TBsdlTokenKind::End)) Fail(FToken.Where, "unexpected text after the end of the entity");
  return std::move(FFile);
}

void TParseRun::ParseGeneric() {
  Advance();
  ExpectSymbol("(");
  for (;;) {
    std::vector<TBsdlToken> names{ExpectIdentifier("a generic name")};
    while (FToken.IsSymbol(",")) {
      Advance();
      names.push_back(ExpectIdentifier("a generic name"));
    }
    ExpectSymbol(":");
    const std::string typeName(ExpectIdentifier("a type name").Text);
    std::string defaultValue;
    if (FToken.IsSymbol(":=")) {
      Advance();
      defaultValue = ParseValue(0).Display();
    }
    for (const TBsdlToken& name : names)
      FFile.Generics.push_back({std::string(name.Text), typeName, defaultValue, name.Where});
    if (FToken.IsSymbol(";")) {
      Advance();
      continue;
    }
    break;
  }
  ExpectSymbol(")");
  ExpectSymbol(";");
}

void TParseRun::ParsePorts() {
  Advance();
  ExpectSymbol("(");
  for (;;) {
    std::vector<TBsdlToken> names{ExpectIdentifier("a port name")};
    while (FToken.IsSymbol(",")) {
      Advance();
      names.push_back(ExpectIdentifier("a port name"));
    }
    ExpectSymbol(":");
    TBsdlPortDecl port;
    static const std::pair<const char*, TVHDLPortMode> kModes[] = {{"in", ePortMode_In},
                                                                    {"out", ePortMode_Out},
                                                                    {"inout", ePortMode_InOut},
                                                                    {"buffer", ePortMode_Buffer},
                                                                    {"linkage", ePortMode_Linkage}};
    bool modeFound = false;
    for (const auto& [keyword, mode] : kModes) {
      if (FToken.IsKeyword(keyword)) {
        port.Mode = mode;
        modeFound = true;
      }
    }
    if (!modeFound) FailExpected("a port mode (in, out, inout, buffer or linkage)");
    Advance();
    if (FToken.IsKeyword("bit")) {
      Advance();
    } else if (FToken.IsKeyword("bit_vector")) {
      Advance();
      ExpectSymbol("(");
      port.IsVector = true;
      port.RangeLeft = ExpectInteger("a range bound");
      if (!FToken.IsKeyword("to") && !FToken.IsKeyword("downto")) FailExpected("'to' or 'downto'");
      const bool ascending = FToken.IsKeyword("to");
      const TBsdlPosition directionWhere = FToken.Where;
      Advance();
      port.RangeRight = ExpectInteger("a range bound");
      if (ascending ? port.RangeLeft > port.RangeRight : port.RangeLeft < port.RangeRight)
        Fail(directionWhere, "empty range in bit_vector");
      ExpectSymbol(")");
    } else {
      FailExpected("a port type (bit or bit_vector)");
    }
    for (const TBsdlToken& name : names) {
      port.Name = std::string(name.Text);
      port.Where = name.Where;
      FPortBits += port.Width();
      if (FPortBits > kBsdlMaxPortBits) Fail(name.Where, "too many port bits (more than " + std::to_string(kBsdlMaxPortBits) + ")");
      FFile.Ports.push_back(port);
    }
    if (FToken.IsSymbol(";")) {
      Advance();
      continue;
    }
    break;
  }
  ExpectSymbol(")");
  ExpectSymbol(";");
}

void TParseRun::ParseUse() {
  Advance();
  std::string clause(ExpectIdentifier("a package name").Text);
  while (FToken.IsSymbol(".")) {
    Advance();
    clause += "." + std::string(ExpectIdentifier("a name").Text);
  }
  ExpectSymbol(";");
  FFile.UseClauses.push_back(clause);
}

void TParseRun::ParseConstant() {
  Advance();
  const TBsdlToken name = ExpectIdentifier("a constant name");
  ExpectSymbol(":");
  const std::string typeName(ExpectIdentifier("a type name").Text);
  ExpectSymbol(":=");
  const TValue value = ParseValue(0);
  ExpectSymbol(";");
  FFile.Constants.push_back({std::string(name.Text), typeName, value.Display(), name.Where});
  if (Upper(typeName) == "PIN_MAP_STRING") {
    if (value.Kind != TValue::TKind::String) Fail(value.Where, "a PIN_MAP_STRING constant needs a string");
    const std::string key = Upper(name.Text);
    if (FFile.PinMaps.count(key)) Fail(name.Where, "pin map " + std::string(name.Text) + " is declared twice");
    FFile.PinMaps[key] = ParsePinMap(value.Str, std::string(name.Text));
  }
}

void TParseRun::ParseAttribute() {
  Advance();
  const TBsdlToken name = ExpectIdentifier("an attribute name");
  if (FToken.IsSymbol(":")) {  // a declaration of an attribute the file defines itself
    Advance();
    ExpectIdentifier("a type name");
    ExpectSymbol(";");
    FParser.AddNote(name.Where, "attribute declaration " + std::string(name.Text) + " skipped");
    return;
  }
  ExpectKeyword("of");
  std::vector<std::string> objects{std::string(ExpectIdentifier("the name the attribute applies to").Text)};
  while (FToken.IsSymbol(",")) {
    Advance();
    objects.emplace_back(ExpectIdentifier("a name").Text);
  }
  ExpectSymbol(":");
  const std::string objectClass(ExpectIdentifier("an entity class (entity, signal, ...)").Text);
  ExpectKeyword("is");
  const TValue value = ParseValue(0);
  ExpectSymbol(";");
  TBsdlAttributeSpec statement{std::string(name.Text), objects.front(), objectClass, value.Display(), name.Where, value.Where};
  for (size_t i = 1; i < objects.size(); ++i) statement.ObjectName += "," + objects[i];
  FFile.Attributes.push_back(statement);
  Interpret(statement, value);
}

TValue TParseRun::ParseValue(int32_t depth) {
  TValue value;
  value.Where = FToken.Where;
  switch (FToken.Kind) {
    case TBsdlTokenKind::String:
      value.Kind = TValue::TKind::String;
      value.Str.Append(FToken.Text, FToken.Where, FLexer);
      Advance();
      while (FToken.IsSymbol("&")) {
        Advance();
        if (!FToken.Is(TBsdlTokenKind::String)) FailExpected("a string after '&'");
        value.Str.Append(FToken.Text, FToken.Where, FLexer);
        Advance();
      }
      return value;
    case TBsdlTokenKind::Integer:
    case TBsdlTokenKind::Real:
    case TBsdlTokenKind::Identifier:
    case TBsdlTokenKind::Character:
      value.Kind = FToken.Is(TBsdlTokenKind::Integer)      ? TValue::TKind::Integer
                   : FToken.Is(TBsdlTokenKind::Real)       ? TValue::TKind::Real
                   : FToken.Is(TBsdlTokenKind::Identifier) ? TValue::TKind::Identifier
                                                           : TValue::TKind::Character;
      value.Text = std::string(FToken.Text);
      Advance();
      return value;
    default:
      break;
  }
  if (FToken.IsSymbol("-") || FToken.IsSymbol("+")) {
    const std::string sign(FToken.Text);
    Advance();
    if (!FToken.Is(TBsdlTokenKind::Integer) && !FToken.Is(TBsdlTokenKind::Real)) FailExpected("a number");
    value.Kind = FToken.Is(TBsdlTokenKind::Integer) ? TValue::TKind::Integer : TValue::TKind::Real;
    value.Text = sign + std::string(FToken.Text);
    Advance();
    return value;
  }
  if (FToken.IsSymbol("(")) {
    if (depth >= kBsdlMaxValueNesting) Fail(FToken.Where, "value nested too deeply");
    Advance();
    value.Kind = TValue::TKind::Aggregate;
    value.Items.push_back(ParseValue(depth + 1));
    while (FToken.IsSymbol(",")) {
      Advance();
      value.Items.push_back(ParseValue(depth + 1));
    }
    ExpectSymbol(")");
    return value;
  }
  FailExpected("a value");
}

// ---- attribute contents -----------------------------------------------------------------------

const TBsdlStringText& TParseRun::NeedString(const TBsdlAttributeSpec& statement, const TValue& value) const {
  if (value.Kind != TValue::TKind::String) Fail(value.Where, statement.Name + " needs a string");
  return value.Str;
}

int32_t TParseRun::NeedInteger(const TBsdlAttributeSpec& statement, const TValue& value, int32_t limit) const {
  if (value.Kind != TValue::TKind::Integer) Fail(value.Where, statement.Name + " needs an integer");
  TBsdlToken token;
  token.Text = value.Text;
  token.Where = value.Where;
  const int32_t number = ToInt(token);
  if (number > limit) Fail(value.Where, statement.Name + " " + value.Text + " is larger than " + std::to_string(limit));
  return number;
}

void TParseRun::SetTapPort(TBsdlTapPort& port, const TBsdlAttributeSpec& statement, const TValue& value) {
  if (Upper(statement.ObjectClass) != "SIGNAL") Fail(statement.Where, statement.Name + " applies to a signal");
  if (statement.ObjectName.find(',') != std::string::npos) Fail(statement.Where, statement.Name + " names one port");
  port.PortName = statement.ObjectName;
  port.Where = statement.Where;
  (void)value;
}

void TParseRun::Interpret(const TBsdlAttributeSpec& statement, const TValue& value) {
  const std::string name = Upper(statement.Name);
  static const std::set<std::string> kKnown = {
      "COMPONENT_CONFORMANCE", "PIN_MAP",            "TAP_SCAN_IN",         "TAP_SCAN_OUT",
      "TAP_SCAN_MODE",         "TAP_SCAN_CLOCK",     "TAP_SCAN_RESET",      "COMPLIANCE_PATTERNS",
      "INSTRUCTION_LENGTH",    "INSTRUCTION_OPCODE", "INSTRUCTION_CAPTURE", "INSTRUCTION_PRIVATE",
      "IDCODE_REGISTER",       "USERCODE_REGISTER",  "REGISTER_ACCESS",     "BOUNDARY_LENGTH",
      "BOUNDARY_REGISTER",     "DESIGN_WARNING"};
  if (!kKnown.count(name)) {
    FParser.AddNote(statement.Where, "attribute " + statement.Name + " kept but not interpreted");
    return;
  }
  if (!FSeenAttributes.insert(name).second) Fail(statement.Where, "attribute " + statement.Name + " is given twice");

  if (name == "COMPONENT_CONFORMANCE") {
    FFile.ConformanceStatement = TrimText(NeedString(statement, value).Text());
  } else if (name == "PIN_MAP") {
    if (value.Kind == TValue::TKind::Identifier) {
      FFile.PinMapReference = value.Text;
      FFile.PinMapIsIdentifier = true;
    } else {
      FFile.PinMapReference = TrimText(NeedString(statement, value).Text());
    }
    FFile.PinMapWhere = value.Where;
  } else if (name == "TAP_SCAN_CLOCK") {
    if (value.Kind != TValue::TKind::Aggregate || value.Items.size() != 2)
      Fail(value.Where, "TAP_SCAN_CLOCK needs (frequency, halt state)");
    const TValue& frequency = value.Items[0];
    const TValue& halt = value.Items[1];
    if (frequency.Kind != TValue::TKind::Real && frequency.Kind != TValue::TKind::Integer)
      Fail(frequency.Where, "TAP_SCAN_CLOCK needs a frequency");
    std::string digits;
    for (char c : frequency.Text)
      if (c != '_') digits += c;
    char* end = nullptr;
    const double hz = std::strtod(digits.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(hz) || hz < 0) Fail(frequency.Where, "invalid TAP_SCAN_CLOCK frequency");
    const std::string haltName = halt.Kind == TValue::TKind::Identifier ? Upper(halt.Text) : std::string();
    if (haltName == "LOW") FFile.ScanClockHaltMode = eScanClockHaltMode_Low;
    else if (haltName == "BOTH") FFile.ScanClockHaltMode = eScanClockHaltMode_Both;
    else Fail(halt.Where, "TAP_SCAN_CLOCK halt state must be LOW or BOTH");
    FFile.ScanClockFrequency = hz;
    SetTapPort(FFile.TapScanClock, statement, value);
  } else if (name.rfind("TAP_SCAN_", 0) == 0) {
    if (value.Kind != TValue::TKind::Identifier || (Upper(value.Text) != "TRUE" && Upper(value.Text) != "FALSE"))
      Fail(value.Where, statement.Name + " needs true or false");
    if (Upper(value.Text) == "FALSE") {
      FParser.AddNote(statement.Where, statement.Name + " is false: the port is no TAP port");
      return;
    }
    TBsdlTapPort& port = name == "TAP_SCAN_IN"     ? FFile.TapScanIn
                         : name == "TAP_SCAN_OUT"  ? FFile.TapScanOut
                         : name == "TAP_SCAN_MODE" ? FFile.TapScanMode
                                                   : FFile.TapScanReset;
    SetTapPort(port, statement, value);
  } else if (name == "COMPLIANCE_PATTERNS") {
    FFile.CompliancePatterns = TrimText(NeedString(statement, value).Text());
  } else if (name == "INSTRUCTION_LENGTH") {
    FFile.InstructionLength = NeedInteger(statement, value, kBsdlMaxInstructionLength);
    FFile.InstructionLengthWhere = value.Where;
  } else if (name == "INSTRUCTION_OPCODE") {
    FFile.OpcodesWhere = value.Where;
    ParseOpcodes(NeedString(statement, value));
  } else if (name == "INSTRUCTION_CAPTURE") {
    const auto patterns = ParsePatterns(NeedString(statement, value), statement.Name, 0);
    if (patterns.size() != 1) Fail(value.Where, "INSTRUCTION_CAPTURE needs one pattern");
    FFile.InstructionCapture = patterns.front();
  } else if (name == "INSTRUCTION_PRIVATE") {
    TBsdlStringLexer lexer(NeedString(statement, value), FFile.FileName, statement.Name);
    while (!lexer.Peek().Is(TBsdlTokenKind::End)) {
      FFile.PrivateInstructions.emplace_back(lexer.ExpectWord("an instruction name").Text);
      if (lexer.Peek().Is(TBsdlTokenKind::End)) break;
      lexer.Expect(",");
    }
  } else if (name == "IDCODE_REGISTER") {
    FFile.IdCodes = ParsePatterns(NeedString(statement, value), statement.Name, 32);
  } else if (name == "USERCODE_REGISTER") {
    FFile.UserCodes = ParsePatterns(NeedString(statement, value), statement.Name, 32);
  } else if (name == "REGISTER_ACCESS") {
    ParseRegisters(NeedString(statement, value));
  } else if (name == "BOUNDARY_LENGTH") {
    FFile.BoundaryLength = NeedInteger(statement, value, kBsdlMaxBoundaryLength);
    FFile.BoundaryLengthWhere = value.Where;
  } else if (name == "BOUNDARY_REGISTER") {
    FFile.HasBoundaryRegister = true;
    FFile.BoundaryRegisterWhere = value.Where;
    ParseCells(NeedString(statement, value));
  } else if (name == "DESIGN_WARNING") {
    FFile.DesignWarning = TrimText(NeedString(statement, value).Text());
  }
}

std::vector<TBsdlPinMapItem> TParseRun::ParsePinMap(const TBsdlStringText& text, const std::string& name) const {
  std::vector<TBsdlPinMapItem> items;
  TBsdlStringLexer lexer(text, FFile.FileName, "pin map " + name);
  if (lexer.Peek().Is(TBsdlTokenKind::End)) return items;
  for (;;) {
    const TBsdlToken port = lexer.ExpectWord("a port name");
    TBsdlPinMapItem item{std::string(port.Text), {}, port.Where};
    lexer.Expect(":");
    if (lexer.Peek().IsSymbol("(")) {
      lexer.Next();
      item.PinNumbers.emplace_back(lexer.ExpectWord("a pin number").Text);
      while (lexer.Peek().IsSymbol(",")) {
        lexer.Next();
        item.PinNumbers.emplace_back(lexer.ExpectWord("a pin number").Text);
      }
      lexer.Expect(")");
    } else {
      item.PinNumbers.emplace_back(lexer.ExpectWord("a pin number").Text);
    }
    items.push_back(std::move(item));
    if (lexer.Peek().Is(TBsdlTokenKind::End)) break;
    lexer.Expect(",");
  }
  return items;
}

std::string TParseRun::ExpectPattern(TBsdlStringLexer& lexer, const char* what) const {
  const TBsdlToken token = lexer.ExpectWord(what);
  std::string pattern(token.Text);
  for (char& c : pattern) {
    if (c == 'x') c = 'X';
    if (c != '0' && c != '1' && c != 'X') lexer.Fail(token.Where, "pattern '" + std::string(token.Text) + "' may hold only 0, 1 and X");
  }
  return pattern;
}

std::vector<std::string> TParseRun::ParsePatterns(const TBsdlStringText& text, const std::string& name,
                                                  size_t length) const {
  // Patterns are written in pieces ("0000" & "1010..."): join the words between commas.
  std::vector<std::string> patterns;
  TBsdlStringLexer lexer(text, FFile.FileName, name);
  std::string pattern;
  TBsdlPosition start = lexer.Peek().Where;
  auto finish = [&]() {
    if (pattern.empty()) lexer.Fail(start, "empty pattern");
    if (length && pattern.size() != length)
      lexer.Fail(start, "pattern has " + std::to_string(pattern.size()) + " bits instead of " + std::to_string(length));
    patterns.push_back(pattern);
    pattern.clear();
  };
  for (;;) {
    const TBsdlToken token = lexer.Peek();
    if (token.Is(TBsdlTokenKind::End)) {
      finish();
      break;
    }
    if (token.IsSymbol(",")) {
      lexer.Next();
      finish();
      start = lexer.Peek().Where;
      continue;
    }
    pattern += ExpectPattern(lexer, "a bit pattern");
    if (pattern.size() > static_cast<size_t>(kBsdlMaxInstructionLength) * 64) lexer.Fail(start, "pattern too long");
  }
  return patterns;
}

int32_t TParseRun::WordToInt(TBsdlStringLexer& lexer, const TBsdlToken& token, const char* what) const {
  if (!AllDigits(token.Text)) lexer.Fail(token.Where, std::string("expected ") + what + " but found '" + std::string(token.Text) + "'");
  if (token.Text.size() > 9) lexer.Fail(token.Where, "number too large: " + std::string(token.Text));
  return std::atoi(std::string(token.Text).c_str());
}

void TParseRun::ParseOpcodes(const TBsdlStringText& text) {
  TBsdlStringLexer lexer(text, FFile.FileName, "INSTRUCTION_OPCODE");
  if (lexer.Peek().Is(TBsdlTokenKind::End)) return;
  for (;;) {
    const TBsdlToken name = lexer.ExpectWord("an instruction name");
    TBsdlOpcodeItem item{std::string(name.Text), {}, name.Where};
    lexer.Expect("(");
    item.Patterns.push_back(ExpectPattern(lexer, "an opcode"));
    while (lexer.Peek().IsSymbol(",")) {
      lexer.Next();
      item.Patterns.push_back(ExpectPattern(lexer, "an opcode"));
    }
    lexer.Expect(")");
    FFile.Opcodes.push_back(std::move(item));
    if (lexer.Peek().Is(TBsdlTokenKind::End)) break;
    lexer.Expect(",");
  }
}

void TParseRun::ParseRegisters(const TBsdlStringText& text) {
  TBsdlStringLexer lexer(text, FFile.FileName, "REGISTER_ACCESS");
  if (lexer.Peek().Is(TBsdlTokenKind::End)) return;
  for (;;) {
    const TBsdlToken name = lexer.ExpectWord("a register name");
    TBsdlRegisterItem item{std::string(name.Text), 0, {}, name.Where};
    if (lexer.Peek().IsSymbol("[")) {
      lexer.Next();
      const TBsdlToken length = lexer.ExpectWord("a register length");
      item.Length = WordToInt(lexer, length, "a register length");
      if (item.Length <= 0) lexer.Fail(length.Where, "register length must be positive");
      lexer.Expect("]");
    }
    lexer.Expect("(");
    item.Instructions.emplace_back(lexer.ExpectWord("an instruction name").Text);
    while (lexer.Peek().IsSymbol(",")) {
      lexer.Next();
      item.Instructions.emplace_back(lexer.ExpectWord("an instruction name").Text);
    }
    lexer.Expect(")");
    if (lexer.Peek().IsKeyword("CAPTURES")) {  // what the register captures; not part of the model
      lexer.Next();
      lexer.Expect("(");
      ExpectPattern(lexer, "a capture pattern");
      lexer.Expect(")");
    }
    FFile.Registers.push_back(std::move(item));
    if (lexer.Peek().Is(TBsdlTokenKind::End)) break;
    lexer.Expect(",");
  }
}

void TParseRun::ParseCells(const TBsdlStringText& text) {
  TBsdlStringLexer lexer(text, FFile.FileName, "BOUNDARY_REGISTER");
  if (lexer.Peek().Is(TBsdlTokenKind::End)) return;
  static const std::pair<const char*, TCellFunction> kFunctions[] = {
      {"INPUT", eCellFunction_Input},       {"CLOCK", eCellFunction_Clock},
      {"OUTPUT2", eCellFunction_Output2},   {"OUTPUT3", eCellFunction_Output3},
      {"CONTROL", eCellFunction_Control},   {"CONTROLR", eCellFunction_ControlR},
      {"INTERNAL", eCellFunction_Internal}, {"BIDIR", eCellFunction_BiDir},
      {"OBSERVE_ONLY", eCellFunction_ObserveOnly}};
  static const std::pair<const char*, TDisableResult> kResults[] = {
      {"Z", eDisableResult_HiZ},       {"WEAK0", eDisableResult_Weak0}, {"WEAK1", eDisableResult_Weak1},
      {"PULL0", eDisableResult_Pull0}, {"PULL1", eDisableResult_Pull1}, {"KEEPER", eDisableResult_Keeper}};
  auto bit = [&](const char* what, bool allowX) {
    const TBsdlToken token = lexer.ExpectWord(what);
    const std::string value = Upper(token.Text);
    if (value == "0") return eBit_0;
    if (value == "1") return eBit_1;
    if (allowX && value == "X") return eBit_X;
    lexer.Fail(token.Where, std::string("expected ") + what + " but found '" + std::string(token.Text) + "'");
  };
  for (;;) {
    if (FFile.Cells.size() >= static_cast<size_t>(kBsdlMaxBoundaryLength))
      lexer.Fail(lexer.Peek().Where, "too many cells");
    const TBsdlToken number = lexer.ExpectWord("a cell number");
    TBsdlCellItem cell;
    cell.Number = WordToInt(lexer, number, "a cell number");
    cell.Where = number.Where;
    lexer.Expect("(");
    const TBsdlToken cellName = lexer.ExpectWord("a cell name");
    cell.CellName = std::string(cellName.Text);
    const std::string upperName = Upper(cellName.Text);
    static const char* const kCellKinds[] = {"BC_0", "BC_1", "BC_2", "BC_3", "BC_4", "BC_5",
                                             "BC_6", "BC_7", "BC_8", "BC_9", "BC_10"};
    for (int kind = 0; kind < 11; ++kind)
      if (upperName == kCellKinds[kind]) cell.Kind = static_cast<TCellKind>(eCellKind_BC_0 + kind);
    lexer.Expect(",");
    cell.PortWhere = lexer.Peek().Where;
    if (lexer.Peek().IsSymbol("*")) {
      lexer.Next();
      cell.PortId = "*";
    } else {
      const TBsdlToken port = lexer.ExpectWord("a port name or *");
      cell.PortName = std::string(port.Text);
      cell.PortId = cell.PortName;
      if (lexer.Peek().IsSymbol("(")) {
        lexer.Next();
        const TBsdlToken index = lexer.ExpectWord("a port index");
        cell.PortIndex = WordToInt(lexer, index, "a port index");
        cell.HasPortIndex = true;
        lexer.Expect(")");
        cell.PortId += "(" + std::to_string(cell.PortIndex) + ")";
      }
    }
    lexer.Expect(",");
    const TBsdlToken function = lexer.ExpectWord("a cell function");
    const std::string functionName = Upper(function.Text);
    for (const auto& [keyword, value] : kFunctions)
      if (functionName == keyword) cell.Function = value;
    if (cell.Function == eCellFunction_Undefined)
      lexer.Fail(function.Where, "unknown cell function '" + std::string(function.Text) + "'");
    lexer.Expect(",");
    cell.SafeBit = bit("a safe value (0, 1 or X)", true);
    if (lexer.Peek().IsSymbol(",")) {
      lexer.Next();
      cell.ControlWhere = lexer.Peek().Where;
      cell.ControlCell = WordToInt(lexer, lexer.ExpectWord("a control cell number"), "a control cell number");
      lexer.Expect(",");
      cell.DisableValue = bit("a disable value (0 or 1)", false);
      lexer.Expect(",");
      const TBsdlToken result = lexer.ExpectWord("a disable result");
      const std::string resultName = Upper(result.Text);
      for (const auto& [keyword, value] : kResults)
        if (resultName == keyword) cell.DisableResult = value;
      if (cell.DisableResult == eDisableResult_Undefined)
        lexer.Fail(result.Where, "unknown disable result '" + std::string(result.Text) + "'");
    }
    lexer.Expect(")");
    FFile.Cells.push_back(std::move(cell));
    if (lexer.Peek().Is(TBsdlTokenKind::End)) break;
    lexer.Expect(",");
  }
}

}  // namespace

TBsdlParsedFile TBsdlParser::Parse(std::string_view source) {
  TBsdlLexer lexer(source, FFileName);
  TParseRun run(*this, lexer);
  return run.Run();
}

}  // namespace tavix
