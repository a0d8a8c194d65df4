#pragma once
// Whole-file reads and safe writes.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tracemill {

// Reads a whole file; throws FileError when it cannot be opened or read, or
// when it is larger than maxBytes.
std::string ReadFileBytes(const std::string& path, std::size_t maxBytes = std::size_t(1) << 30);

// Writes a file so that a failure midway leaves the old file whole: the
// content goes to a new temporary file in the target's folder, which is
// flushed to disk and renamed over the target, and then the folder is flushed
// too. A target that is a symbolic link is written through: the file it names
// is replaced and the link stays. A replaced file keeps its permissions; a new
// one gets 0666 less the umask. A device or a pipe (/dev/null, a named pipe)
// is written into as it is, never replaced. Throws FileError; the temporary
// file is always removed.
// kReplaceOnly skips the flushes to disk: a crash of the program still leaves
// the old file whole, a power loss may not. For files that can be made again
// (AVI frame files), where the flush would cost more than the writing.
enum class WriteDurability { kFlushToDisk, kReplaceOnly };
void WriteFileAtomic(const std::string& path, std::string_view content,
                     WriteDurability durability = WriteDurability::kFlushToDisk);

// The same with the content written by a writer into a stream. A write the
// disk refuses fails the stream (and then the whole write, with FileError);
// an exception thrown by the writer passes through. Either way the old file
// stays whole.
using TFileWriter = std::function<void(std::ostream&)>;
void WriteFileAtomic(const std::string& path, const TFileWriter& writer,
                     WriteDurability durability = WriteDurability::kFlushToDisk);

}  // namespace tracemill
