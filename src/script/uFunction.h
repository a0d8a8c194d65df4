#pragma once
// The built-in function library of the report language (StandardBuiltins(),
// declared in script/uBuiltin.h) and the settings and platform answers it
// shares with the application.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/uBuiltin.h"

namespace tracemill {

// The standard library without the functions that change files, folders or
// the current folder, start programs or walk folders (they are unknown names
// there): for running programs of unknown origin, such as fuzz inputs.
const TBuiltinLibrary& SandboxedBuiltins();

// The names of the standard library's functions, upper-case, in the order
// of its table (for listings such as the manual's reference).
std::vector<std::string_view> BuiltinNames();

// A colour 0x00BBGGRR; a system colour (high bit set, element index in the
// low byte) becomes the colour of that element in a light desktop theme.
std::uint32_t DefaultSystemColor(std::uint32_t color);

}  // namespace tracemill
