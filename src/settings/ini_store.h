// Reading and writing "[section]" / "key=value" files.
//
// One implementation on every system, so the same config.ini works on either.
// It behaves as the Windows profile functions do where callers may notice:
// section and key names match without regard to ASCII letter case; spaces
// around names and values are ignored on reading, and a value enclosed in a
// pair of quotes comes back without them; sections keep the order in which
// they were first written; a new key goes to the end of its section and an
// existing one is rewritten in place; a line ends at CR LF, LF or a lone CR;
// GBK bytes (Chinese names and values) pass untouched; a value reads back cut
// to 10239 bytes. A rewrite keeps every other line, and every line end, byte
// for byte, also lines that are neither a section nor a key (comments, blank
// lines, junk); a new line ends as the file's first line does (CR LF in a
// file without one).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr::settings {

// Longest value a reader gets back (what fits a 10240-byte buffer with its zero).
inline constexpr std::size_t kIniValueLimit = 10239;

class IniDocument {
 public:
  // Lines end at CR LF, LF or a lone CR.
  static IniDocument Parse(std::string_view bytes);
  // Every line followed by its own line end.
  std::string Serialize() const;

  // The value as a reader gets it (see above); nullopt when the section or the key is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // Sets `key` in `section`, creating either when missing. Refuses (false,
  // nothing changed) a name that could not be read back as written (empty;
  // holding a line break; "]" in a section; "=" in a key, or a key starting
  // with "[" or ";") and a value holding a line break, which would spill into
  // lines of its own, or a name ending in half a two-byte character. Spaces
  // around the names are dropped.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct SectionRange {
    std::size_t header;
    std::size_t end;  // one past its last line
  };
  struct Line {
    std::string text;
    std::string end;  // empty only for a last line that has none
  };
  std::optional<SectionRange> FindSection(std::string_view section) const;
  void InsertLine(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string newLineEnd_ = "\r\n";
};

// The value of `key` in `section` of the file at `path`; `fallback` when the
// file, the section or the key is missing.
std::string ReadIniValue(std::string_view path, std::string_view section, std::string_view key,
                         std::string_view fallback = {});

// Writes `key`=`value` into the file, keeping everything else in it. The whole
// new content replaces the file at once. False when the value or a name is
// refused (see IniDocument::SetValue), the file exists but cannot be read, or
// it cannot be written.
bool WriteIniValue(std::string_view path, std::string_view section, std::string_view key, std::string_view value);

// Reads the file once, lets `edit` change the document, and replaces the file
// once with the result, so every change of one edit reaches the file together
// or none does (a crash between two WriteIniValue calls would leave half of
// them). `edit` returning false writes nothing. False as for WriteIniValue.
bool EditIniFile(std::string_view path, const std::function<bool(IniDocument&)>& edit);

}  // namespace qr::settings
