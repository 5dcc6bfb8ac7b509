// Tokens of a BSDL file (the VHDL subset of IEEE 1149.1-2001) and of the texts inside its
// attribute strings, each with the line and column it starts at. Both scanners stop at the
// first character they do not know with a positioned error, read nothing past the end of
// their text and never recurse.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavix {

// A place in a source text: 1-based line and column (columns count bytes).
struct TBsdlPosition {
  int32_t Line = 0;
  int32_t Column = 0;
};

// A fault in a description, reported as "file:line:column: message".
class EBsdlError : public std::runtime_error {
 public:
  EBsdlError(const std::string& fileName, TBsdlPosition where, const std::string& message);
  const std::string& FileName() const { return FFileName; }
  TBsdlPosition Where() const { return FWhere; }
  const std::string& Message() const { return FMessage; }

 private:
  std::string FFileName;
  TBsdlPosition FWhere;
  std::string FMessage;
};

// A character as an error message shows it: 'c' when printable, else \xNN.
std::string QuoteCharacter(char c);

// Limits that keep hostile input from exhausting the reader.
constexpr size_t kBsdlMaxIdentifierLength = 1024;
constexpr size_t kBsdlMaxStringLength = 64u << 20;  // all fragments of one value joined

enum class TBsdlTokenKind : uint8_t {
  End,         // end of the text
  Identifier,  // letter { letter | digit | _ }
  Integer,     // decimal digits (underscores allowed), or a based literal such as 16#FF#
  Real,        // digits . digits [ exponent ]
  String,      // "..." ; Text holds the contents without the quotes
  Character,   // 'c'
  Symbol,      // ( ) , ; : := & . and the other VHDL delimiters
};

struct TBsdlToken {
  TBsdlTokenKind Kind = TBsdlTokenKind::End;
  std::string_view Text;  // a view into the source
  TBsdlPosition Where;

  bool Is(TBsdlTokenKind kind) const { return Kind == kind; }
  bool IsSymbol(std::string_view symbol) const { return Kind == TBsdlTokenKind::Symbol && Text == symbol; }
  // An identifier equal to `keyword` without regard to case.
  bool IsKeyword(std::string_view keyword) const;
};

// Scans the text of a BSDL file. Comments ("--" to the end of the line) and white space are
// skipped; a leading UTF-8 byte-order mark is ignored.
class TBsdlLexer {
 public:
  TBsdlLexer(std::string_view source, std::string fileName);

  // The next token; End at the end of the text (and every time after).
  TBsdlToken Next();
  const std::string& FileName() const { return FFileName; }
  [[noreturn]] void Fail(TBsdlPosition where, const std::string& message) const;

 private:
  void SkipBlanksAndComments();
  TBsdlPosition Here() const { return {FLine, static_cast<int32_t>(FPos - FLineStart) + 1}; }
  char Peek(size_t ahead = 0) const { return FPos + ahead < FSource.size() ? FSource[FPos + ahead] : '\0'; }
  bool AtEnd(size_t ahead = 0) const { return FPos + ahead >= FSource.size(); }
  TBsdlToken ScanNumber();
  TBsdlToken ScanString();

  std::string_view FSource;
  std::string FFileName;
  size_t FPos = 0;
  size_t FLineStart = 0;
  int32_t FLine = 1;
};

// The text of a string value: the contents of its "..." fragments joined by "&", with where
// each fragment began so that a place in the joined text maps back to the file.
class TBsdlStringText {
 public:
  void Append(std::string_view contents, TBsdlPosition where, const TBsdlLexer& lexer);
  const std::string& Text() const { return FText; }
  TBsdlPosition PositionOf(size_t offset) const;
  TBsdlPosition Start() const { return FSegments.empty() ? TBsdlPosition{} : FSegments.front().Where; }

 private:
  struct TSegment {
    size_t Offset;
    TBsdlPosition Where;  // of the fragment's first character
  };
  std::string FText;
  std::vector<TSegment> FSegments;
};

// Scans the text inside an attribute string: words (letters, digits, underscores), the
// symbols ( ) , : ; [ ] * and white space. Errors point into the file.
class TBsdlStringLexer {
 public:
  TBsdlStringLexer(const TBsdlStringText& text, const std::string& fileName, std::string attributeName);

  TBsdlToken Next();
  TBsdlToken Peek();
  [[noreturn]] void Fail(TBsdlPosition where, const std::string& message) const;
  // The next token, which must be the symbol; an error naming it otherwise.
  TBsdlToken Expect(std::string_view symbol);
  // The next token, which must be a word; an error naming `what` otherwise.
  TBsdlToken ExpectWord(const char* what);
  // The position just after the last token taken (for "expected ... at end of text").
  TBsdlPosition EndPosition() const;

 private:
  TBsdlToken Scan();

  const TBsdlStringText& FText;
  const std::string& FFileName;
  std::string FAttribute;
  size_t FPos = 0;
  bool FHavePeek = false;
  TBsdlToken FPeek;
};

}  // namespace tavix
