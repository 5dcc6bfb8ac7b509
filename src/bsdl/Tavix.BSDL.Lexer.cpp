#include "bsdl/Tavix.BSDL.Lexer.h"

#include <algorithm>
#include <cstdio>

namespace tavix {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string FormatError(const std::string& fileName, TBsdlPosition where, const std::string& message) {
  return fileName + ":" + std::to_string(where.Line) + ":" + std::to_string(where.Column) + ": " + message;
}

}  // namespace

EBsdlError::EBsdlError(const std::string& fileName, TBsdlPosition where, const std::string& message)
    : std::runtime_error(FormatError(fileName, where, message)), FFileName(fileName), FWhere(where), FMessage(message) {}

std::string QuoteCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x20 && byte < 0x7F) return std::string("'") + c + "'";
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
  return buffer;
}

bool TBsdlToken::IsKeyword(std::string_view keyword) const {
  if (Kind != TBsdlTokenKind::Identifier || Text.size() != keyword.size()) return false;
  for (size_t i = 0; i < Text.size(); ++i) {
    const char a = Text[i] >= 'a' && Text[i] <= 'z' ? static_cast<char>(Text[i] - 32) : Text[i];
    const char b = keyword[i] >= 'a' && keyword[i] <= 'z' ? static_cast<char>(keyword[i] - 32) : keyword[i];
    if (a != b) return false;
  }
  return true;
}

// ---- TBsdlLexer -------------------------------------------------------------------------------

TBsdlLexer::TBsdlLexer(std::string_view source, std::string fileName)
    : FSource(source), FFileName(std::move(fileName)) {
  if (FSource.substr(0, 3) == "\xEF\xBB\xBF") FPos = FLineStart = 3;
}

void TBsdlLexer::Fail(TBsdlPosition where, const std::string& message) const {
  throw EBsdlError(FFileName, where, message);
}

void TBsdlLexer::SkipBlanksAndComments() {
  while (!AtEnd()) {
    const char c = Peek();
    if (c == '\n') {
      ++FPos;
      ++FLine;
      FLineStart = FPos;
    } else if (IsBlank(c)) {
      ++FPos;
    } else if (c == '-' && Peek(1) == '-') {
      const size_t end = FSource.find('\n', FPos);
      FPos = end == std::string_view::npos ? FSource.size() : end;
    } else {
      break;
    }
  }
}

TBsdlToken TBsdlLexer::Next() {
  SkipBlanksAndComments();
  TBsdlToken token;
  token.Where = Here();
  if (AtEnd()) return token;
  const size_t start = FPos;
  const char c = Peek();
  if (IsLetter(c)) {
    while (!AtEnd() && IsWordChar(Peek())) ++FPos;
    if (FPos - start > kBsdlMaxIdentifierLength) Fail(token.Where, "identifier too long");
    token.Kind = TBsdlTokenKind::Identifier;
    token.Text = FSource.substr(start, FPos - start);
    return token;
  }
  if (IsDigit(c)) return ScanNumber();
  if (c == '"') return ScanString();
  if (c == '\'' && Peek(2) == '\'' && !AtEnd(1) && Peek(1) != '\n') {
    token.Kind = TBsdlTokenKind::Character;
    token.Text = FSource.substr(FPos + 1, 1);
    FPos += 3;
    return token;
  }
  static constexpr std::string_view kPairs[] = {":=", "=>", "<=", ">=", "/=", "**", "<>"};
  for (std::string_view pair : kPairs) {
    if (FSource.substr(FPos, 2) == pair) {
      token.Kind = TBsdlTokenKind::Symbol;
      token.Text = FSource.substr(FPos, 2);
      FPos += 2;
      return token;
    }
  }
  static constexpr std::string_view kSingles = "(),;:&.[]*+-/=<>|'";
  if (kSingles.find(c) != std::string_view::npos) {
    token.Kind = TBsdlTokenKind::Symbol;
    token.Text = FSource.substr(FPos, 1);
    ++FPos;
    return token;
  }
  Fail(token.Where, "unexpected character " + QuoteCharacter(c));
}

TBsdlToken TBsdlLexer::ScanNumber() {
  TBsdlToken token;
  token.Where = Here();
  const size_t start = FPos;
  auto digits = [&](auto accept) {
    while (!AtEnd() && (accept(Peek()) || (Peek() == '_' && accept(Peek(1))))) ++FPos;
  };
  digits(IsDigit);
  token.Kind = TBsdlTokenKind::Integer;
  if (Peek() == '#') {  // based literal: base # digits #
    ++FPos;
    digits(IsHexDigit);
    if (Peek() != '#') Fail(Here(), "unterminated based literal");
    ++FPos;
  } else {
    if (Peek() == '.' && IsDigit(Peek(1))) {
      ++FPos;
      digits(IsDigit);
      token.Kind = TBsdlTokenKind::Real;
    }
    if ((Peek() == 'e' || Peek() == 'E') &&
        (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
      FPos += IsDigit(Peek(1)) ? 1 : 2;
      digits(IsDigit);
      token.Kind = TBsdlTokenKind::Real;
    }
  }
  if (IsLetter(Peek())) Fail(Here(), "unexpected character " + QuoteCharacter(Peek()) + " after a number");
  if (FPos - start > kBsdlMaxIdentifierLength) Fail(token.Where, "number too long");
  token.Text = FSource.substr(start, FPos - start);
  return token;
}

TBsdlToken TBsdlLexer::ScanString() {
  TBsdlToken token;
  token.Where = Here();
  token.Kind = TBsdlTokenKind::String;
  const size_t start = ++FPos;
  for (;;) {
    if (AtEnd() || Peek() == '\n') Fail(token.Where, "unterminated string");
    if (Peek() == '"') {
      if (Peek(1) == '"') {  // a doubled quote stands for one quote
        FPos += 2;
        continue;
      }
      break;
    }
    ++FPos;
  }
  token.Text = FSource.substr(start, FPos - start);
  ++FPos;
  return token;
}

// ---- TBsdlStringText --------------------------------------------------------------------------

void TBsdlStringText::Append(std::string_view contents, TBsdlPosition where, const TBsdlLexer& lexer) {
  if (FText.size() + contents.size() > kBsdlMaxStringLength) lexer.Fail(where, "string value too long");
  // The first character follows the opening quote.
  FSegments.push_back({FText.size(), {where.Line, where.Column + 1}});
  for (size_t i = 0; i < contents.size(); ++i) {
    FText += contents[i];
    if (contents[i] == '"') ++i;  // "" inside a string is one quote
  }
}

TBsdlPosition TBsdlStringText::PositionOf(size_t offset) const {
  if (FSegments.empty()) return {};
  auto at = std::upper_bound(FSegments.begin(), FSegments.end(), offset,
                             [](size_t value, const TSegment& segment) { return value < segment.Offset; });
  if (at != FSegments.begin()) --at;
  return {at->Where.Line, at->Where.Column + static_cast<int32_t>(offset - at->Offset)};
}

// ---- TBsdlStringLexer -------------------------------------------------------------------------

TBsdlStringLexer::TBsdlStringLexer(const TBsdlStringText& text, const std::string& fileName,
                                   std::string attributeName)
    : FText(text), FFileName(fileName), FAttribute(std::move(attributeName)) {}

void TBsdlStringLexer::Fail(TBsdlPosition where, const std::string& message) const {
  throw EBsdlError(FFileName, where, message + " in " + FAttribute);
}

TBsdlToken TBsdlStringLexer::Scan() {
  const std::string& text = FText.Text();
  while (FPos < text.size() && (IsBlank(text[FPos]) || text[FPos] == '\n')) ++FPos;
  TBsdlToken token;
  token.Where = FText.PositionOf(FPos);
  if (FPos >= text.size()) {
    token.Where = EndPosition();
    return token;
  }
  const size_t start = FPos;
  const char c = text[FPos];
  if (IsWordChar(c)) {
    while (FPos < text.size() && IsWordChar(text[FPos])) ++FPos;
    if (FPos - start > kBsdlMaxIdentifierLength) Fail(token.Where, "name too long");
    token.Kind = TBsdlTokenKind::Identifier;
  } else if (std::string_view("(),:;[]*").find(c) != std::string_view::npos) {
    ++FPos;
    token.Kind = TBsdlTokenKind::Symbol;
  } else {
    Fail(token.Where, "unexpected character " + QuoteCharacter(c));
  }
  token.Text = std::string_view(text).substr(start, FPos - start);
  return token;
}

TBsdlToken TBsdlStringLexer::Next() {
  if (FHavePeek) {
    FHavePeek = false;
    return FPeek;
  }
  return Scan();
}

TBsdlToken TBsdlStringLexer::Peek() {
  if (!FHavePeek) {
    FPeek = Scan();
    FHavePeek = true;
  }
  return FPeek;
}

TBsdlToken TBsdlStringLexer::Expect(std::string_view symbol) {
  const TBsdlToken token = Next();
  if (!token.IsSymbol(symbol)) {
    Fail(token.Where, "expected '" + std::string(symbol) + "' but found " +
                          (token.Is(TBsdlTokenKind::End) ? std::string("the end of the text")
                                                         : "'" + std::string(token.Text) + "'"));
  }
  return token;
}

TBsdlToken TBsdlStringLexer::ExpectWord(const char* what) {
  const TBsdlToken token = Next();
  if (!token.Is(TBsdlTokenKind::Identifier)) {
    Fail(token.Where, std::string("expected ") + what + " but found " +
                          (token.Is(TBsdlTokenKind::End) ? std::string("the end of the text")
                                                         : "'" + std::string(token.Text) + "'"));
  }
  return token;
}

TBsdlPosition TBsdlStringLexer::EndPosition() const {
  const std::string& text = FText.Text();
  if (text.empty()) return FText.Start();
  // Just after the last character that is not white space.
  size_t last = text.size();
  while (last > 0 && (IsBlank(text[last - 1]) || text[last - 1] == '\n')) --last;
  if (last == 0) return FText.Start();
  TBsdlPosition where = FText.PositionOf(last - 1);
  ++where.Column;
  return where;
}

}  // namespace tavix
