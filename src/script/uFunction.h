#pragma once
// The built-in function library of the report language (StandardBuiltins(),
// declared in script/uBuiltin.h) and the settings and platform answers it
// shares with the application.

#include <cstdint>
#include <string>

#include "script/uBuiltin.h"

namespace tracemill {

// The standard library without the functions that change files, folders or
// the current folder, start programs or walk folders (they are unknown names
// there): for running programs of unknown origin, such as fuzz inputs.
const TBuiltinLibrary& SandboxedBuiltins();

// Starts a program without waiting for it: file with the parameters (split
// at blanks, double quotes group), in folder (the current folder when empty).
// Returns 33 when it started, 2 when it could not be started.
int RunProgramDetached(const std::string& file, const std::string& parameters,
                       const std::string& folder);

// A colour 0x00BBGGRR; a system colour (high bit set, element index in the
// low byte) becomes the colour of that element in a light desktop theme.
std::uint32_t DefaultSystemColor(std::uint32_t color);

}  // namespace tracemill
