#pragma once

#include <filesystem>
#include <string_view>

namespace zq {

// Refuses, before anything runs, an "output" or "resultOutput" that the run must not replace:
// anything but a regular file or an absent path ("Output is not a regular file", "Result output
// is not a regular file"; on Windows also a device name such as NUL or COM1.txt), and a result
// output that is the output under another name ("Result output and output are the same file").
void checkOutputTargets(const std::filesystem::path& output,
                        const std::filesystem::path& resultOutput);

// Whether the two paths name one file: the same device and inode when both exist, else the same
// path once made absolute, normal and free of links as far as they exist (ignoring case on
// Windows).
bool sameFile(const std::filesystem::path& first, const std::filesystem::path& second);

// Whether a file name is one of Windows' reserved device names (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, CONIN$, CONOUT$), in any case, with or without an extension.
bool isWindowsDeviceName(std::u16string_view fileName);

}  // namespace zq
