// The script that joins a task's downloaded segments into its video with
// ffmpeg: a batch file for Windows and a shell script for Linux. Each script
// is for its own system, so each joins paths with that system's separator
// whichever build writes it.
#pragma once

#include <string>
#include <string_view>

namespace qr::engine {

// ffmpeg.bat in code page 936: three lines joined by CR LF, no final line end:
//   D:
//   cd D:\Videos\movie
//   "C:\Tools\App\ffmpeg.exe" -threads 0 -allowed_extensions ALL -i index.m3u8 -c copy -y -bsf:a aac_adtstoasc
//   "D:\Videos\movie.mp4"
// The first line is the folder's drive, empty when it has none (a share, a
// relative folder). So that no path can run a command or expand a variable,
// every "%" is doubled and a cd path holding & | < > ^ is quoted. A path
// holding a control character or a double quote (no Windows path does)
// cannot be written safely: the result is then empty (no script).
std::string BatchMergeScript(std::string_view taskFolder, std::string_view taskName, std::string_view programFolder);

// The same steps as a POSIX sh script with LF line ends, every path quoted:
//   cd '/v/movie' || exit 1
//   '/opt/q/ffmpeg' -threads 0 -allowed_extensions ALL -i index.m3u8 -c copy -y -bsf:a aac_adtstoasc '/v/movie.mp4'
// Paths are code page 936 text and are written as UTF-8, the encoding of
// Linux file names. `ffmpegCommand` is a path or a name looked up on PATH.
std::string ShellMergeScript(std::string_view taskFolder, std::string_view taskName, std::string_view ffmpegCommand);

}  // namespace qr::engine
