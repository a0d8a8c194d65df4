#pragma once
// The state file: every bench entry with its state text, then the collected
// data with its sort order and serial-number counter. Plain text, CR LF line
// ends, UTF-8 (legacy Shift-JIS files are read too).

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "app/uBaseData.h"

namespace tracemill {

class TWorkspace;

// The first line of every state file: the application's name + " Setting File".
std::string StateHeaderLine();

// Writes the working state; throws FileError when the stream fails.
void WriteState(const TWorkspace& workspace, std::ostream& out);
// The same into a file (its folder is made first), safely replacing it.
void WriteStateFile(const TWorkspace& workspace, const std::string& fileName);

// Replaces the working state by what the stream holds (name is used in
// messages). The header line is checked before anything is released: a text
// that is not a state file throws FileError and leaves the workspace as it
// was. A malformed number throws ConvertError naming the line; the benches
// and lines read before it stay. The list is rebuilt in both cases.
void ReadState(TWorkspace& workspace, std::istream& in, const std::string& name);
void ReadStateFile(TWorkspace& workspace, const std::string& fileName);

// One line record of the data section, and back. ParseLineRecord throws
// ConvertError.
std::string LineRecordText(const TBaseMeasuredPoints& line);
std::unique_ptr<TBaseMeasuredPoints> ParseLineRecord(std::string_view value);

}  // namespace tracemill
