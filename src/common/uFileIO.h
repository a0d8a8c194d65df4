#pragma once
// Whole-file reads and safe writes.

#include <cstddef>
#include <string>
#include <string_view>

namespace tracemill {

// Reads a whole file; throws FileError when it cannot be opened or read, or
// when it is larger than maxBytes.
std::string ReadFileBytes(const std::string& path, std::size_t maxBytes = std::size_t(1) << 30);

// Writes content to a temporary file in the target's folder, flushes it to
// disk and renames it over the target, so a failure midway leaves the old file
// whole. Throws FileError (the temporary file is removed).
void WriteFileAtomic(const std::string& path, std::string_view content);

}  // namespace tracemill
