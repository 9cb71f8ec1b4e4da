// Builds small resource-only DLL images, 32- or 64-bit, so that tests and benchmarks can make
// screensaver files with any description without a compiler for each.
#pragma once

#include <optional>
#include <string>

enum class PeKind { Pe32, Pe32Plus };

// String resource 1 holds `description` (widened byte by byte); without one, the string table
// holds only string 2, so the file has resources but no description.
std::string MakeResourceImage(PeKind kind, const std::optional<std::string>& description);
