#include "settings/ini_store.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "runtime/files.h"
#include "runtime/text.h"

namespace qr::settings {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// What the profile format counts as blank around names and values. None of
// these bytes can be the second byte of a GBK character, so cutting them from
// either end never splits one.
constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// "[name]" with optional blanks; the name ends at the first "]" (or the line end).
std::optional<std::string_view> SectionNameOf(std::string_view line) {
  const std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const std::string_view inside = trimmed.substr(1);
  return TrimBlanks(inside.substr(0, text::Find(inside, "]")));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// "key=value"; a line starting with ";" is a comment and never a key.
std::optional<KeyLine> KeyLineOf(std::string_view line) {
  const std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const std::size_t equals = text::Find(trimmed, "=");
  if (equals == text::npos) return std::nullopt;
  return KeyLine{TrimBlanks(trimmed.substr(0, equals)), TrimBlanks(trimmed.substr(equals + 1))};
}

// A value written inside a pair of quotes reads back without them.
std::string_view WithoutEnclosingQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A name ending in half a character would swallow the "]" or "=" written after it.
bool IsValidSectionName(std::string_view name) {
  return !name.empty() && !HasLineBreak(name) && !text::Contains(name, "]") && !text::EndsInsideCharacter(name);
}

bool IsValidKeyName(std::string_view name) {
  return !name.empty() && !HasLineBreak(name) && !text::Contains(name, "=") && name.front() != '[' &&
         name.front() != ';' && !text::EndsInsideCharacter(name);
}

// Writers of the same file in this process take turns, so that no update is
// lost between one writer's read and its replacement of the file.
std::mutex& WriterMutex() {
  static std::mutex mutex;
  return mutex;
}

// Bytes of an existing file that could not be read; a write must not replace it.
bool ExistsButUnreadable(std::string_view path, std::string_view readBytes) {
  if (!readBytes.empty() || !files::FileExists(path)) return false;
  std::error_code error;
  const auto size = std::filesystem::file_size(files::ToNativePath(path), error);
  return error || size != 0;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument document;
  std::size_t start = 0;
  while (start < bytes.size()) {
    // CR and LF never occur inside a GBK character, so lines can be cut byte by byte.
    const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    std::size_t next = std::min(end + 1, bytes.size());
    if (text::MatchesAt(bytes, end, kLineEnd)) ++next;
    document.lines_.push_back(
        {std::string(bytes.substr(start, end - start)), std::string(bytes.substr(end, next - end))});
    start = next;
  }
  if (!document.lines_.empty() && !document.lines_.front().end.empty()) {
    document.newLineEnd_ = document.lines_.front().end;
  }
  return document;
}

std::string IniDocument::Serialize() const {
  std::string bytes;
  for (const Line& line : lines_) bytes += line.text + line.end;
  return bytes;
}

// A line put after a last line that had no end gives that line one first.
void IniDocument::InsertLine(std::size_t at, std::string text) {
  if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = newLineEnd_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newLineEnd_});
}

std::optional<IniDocument::SectionRange> IniDocument::FindSection(std::string_view section) const {
  const std::string_view wanted = TrimBlanks(section);
  for (std::size_t header = 0; header < lines_.size(); ++header) {
    const auto name = SectionNameOf(lines_[header].text);
    if (!name || !text::EqualsIgnoringCase(*name, wanted)) continue;
    std::size_t end = header + 1;
    while (end < lines_.size() && !SectionNameOf(lines_[end].text)) ++end;
    return SectionRange{header, end};
  }
  return std::nullopt;
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const {
  const auto range = FindSection(text::UpToNul(section));
  if (!range) return std::nullopt;
  const std::string wanted(TrimBlanks(text::UpToNul(key)));
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    const auto keyLine = KeyLineOf(lines_[i].text);
    if (keyLine && text::EqualsIgnoringCase(keyLine->key, wanted)) {
      return text::FirstBytes(WithoutEnclosingQuotes(keyLine->value), kIniValueLimit);
    }
  }
  return std::nullopt;
}

bool IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  // The names and the value end at a zero byte, as they would in a C string.
  const std::string sectionName(TrimBlanks(text::UpToNul(section)));
  const std::string keyName(TrimBlanks(text::UpToNul(key)));
  const std::string valueText = text::UpToNul(value);
  if (!IsValidSectionName(sectionName) || !IsValidKeyName(keyName) || HasLineBreak(valueText)) return false;

  std::string line = keyName + "=" + valueText;
  const auto range = FindSection(sectionName);
  if (!range) {
    InsertLine(lines_.size(), "[" + sectionName + "]");
    InsertLine(lines_.size(), std::move(line));
    return true;
  }
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    const auto keyLine = KeyLineOf(lines_[i].text);
    if (keyLine && text::EqualsIgnoringCase(keyLine->key, keyName)) {
      lines_[i].text = std::move(line);
      return true;
    }
  }
  // After the section's last non-blank line, so blank lines that part it
  // from the next section stay where they are.
  std::size_t at = range->end;
  while (at > range->header + 1 && TrimBlanks(lines_[at - 1].text).empty()) --at;
  InsertLine(at, std::move(line));
  return true;
}

std::string ReadIniValue(std::string_view path, std::string_view section, std::string_view key,
                         std::string_view fallback) {
  const auto value = IniDocument::Parse(files::ReadFileBytes(path)).Value(section, key);
  return value ? *value : std::string(fallback);
}

bool WriteIniValue(std::string_view path, std::string_view section, std::string_view key, std::string_view value) {
  return EditIniFile(path, [&](IniDocument& document) { return document.SetValue(section, key, value); });
}

bool EditIniFile(std::string_view path, const std::function<bool(IniDocument&)>& edit) {
  std::lock_guard<std::mutex> lock(WriterMutex());
  const std::string before = files::ReadFileBytes(path);
  if (ExistsButUnreadable(path, before)) return false;
  IniDocument document = IniDocument::Parse(before);
  if (!edit(document)) return false;
  const std::string after = document.Serialize();
  return after == before || files::ReplaceFileBytes(path, after);
}

}  // namespace qr::settings
