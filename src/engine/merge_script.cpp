#include "engine/merge_script.h"

#include "runtime/codepage.h"
#include "runtime/text.h"

namespace qr::engine {

namespace {

// ffmpeg opens only media file names from a playlist unless told otherwise,
// and an encryption key is stored under its own name (k1.key, key.bin...).
constexpr std::string_view kMergeArguments =
    " -threads 0 -allowed_extensions ALL -i index.m3u8 -c copy -y -bsf:a aac_adtstoasc ";

// Characters cmd takes as operators outside double quotes.
constexpr std::string_view kBatchOperators[] = {"&", "|", "<", ">", "^"};

// A line break would end the batch line early and a double quote would end
// the quoting; no Windows path holds either. Bytewise is enough: no trail byte
// of a two-byte character is below 0x40.
bool FitsInBatchLine(std::string_view path) {
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"') return false;
  }
  return true;
}

bool HoldsBatchOperator(std::string_view path) {
  for (const std::string_view op : kBatchOperators) {
    if (text::Contains(path, op)) return true;
  }
  return false;
}

// "%" starts a variable in a batch file even inside quotes; "%%" is a plain "%".
std::string BatchText(std::string_view path) { return text::ReplaceAll(path, "%", "%%"); }

// `text` between two `mark`s.
std::string Enclosed(std::string_view text, char mark) {
  std::string enclosed(1, mark);
  enclosed.append(text) += mark;
  return enclosed;
}

// "D:" for a folder on a drive; anything else would be run as a command.
std::string DriveOf(std::string_view folder) {
  const bool onDrive = folder.size() >= 2 && folder[1] == ':' &&
                       ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
  return onDrive ? std::string(folder.substr(0, 2)) : std::string();
}

// The path in single quotes, each embedded quote written as '\'' (close,
// escaped quote, reopen), then made UTF-8. The quoting is done on the 936
// text, whose character rules the text functions know; in UTF-8 they would
// misread three-byte characters and could step over a quote.
std::string ShellQuoted(std::string_view gbkPath) {
  return codepage::GbkToUtf8(Enclosed(text::ReplaceAll(gbkPath, "'", "'\\''"), '\''));
}

std::string SlashJoined(std::string_view folder, std::string_view name) {
  return std::string(folder) + (text::EndsWith(folder, "/") ? "" : "/") + std::string(name);
}

}  // namespace

std::string BatchMergeScript(std::string_view taskFolder, std::string_view taskName, std::string_view programFolder) {
  if (!FitsInBatchLine(taskFolder) || !FitsInBatchLine(taskName) || !FitsInBatchLine(programFolder)) return {};
  const std::string tempFolder = std::string(taskFolder) + "\\" + std::string(taskName);
  const std::string cdPath =
      HoldsBatchOperator(tempFolder) ? Enclosed(BatchText(tempFolder), '"') : BatchText(tempFolder);
  std::string script = DriveOf(taskFolder);
  script.append("\r\ncd ").append(cdPath).append("\r\n");
  script.append(Enclosed(BatchText(programFolder) + "\\ffmpeg.exe", '"')).append(kMergeArguments);
  return script.append(Enclosed(BatchText(tempFolder) + ".mp4", '"'));
}

std::string ShellMergeScript(std::string_view taskFolder, std::string_view taskName, std::string_view ffmpegCommand) {
  const std::string tempFolder = SlashJoined(taskFolder, taskName);
  std::string script = "cd ";
  script.append(ShellQuoted(tempFolder)).append(" || exit 1\n");
  script.append(ShellQuoted(ffmpegCommand)).append(kMergeArguments);
  return script.append(ShellQuoted(tempFolder + ".mp4")).append("\n");
}

}  // namespace qr::engine
