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
// kReplaceOnly skips the flush to disk: a crash of the program still leaves
// the old file whole, a power loss may not. For files that can be made again
// (AVI frame files), where the flush would cost more than the writing.
enum class WriteDurability { kFlushToDisk, kReplaceOnly };
void WriteFileAtomic(const std::string& path, std::string_view content,
                     WriteDurability durability = WriteDurability::kFlushToDisk);

}  // namespace tracemill
