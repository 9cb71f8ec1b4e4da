// The program's version: one 32-bit word, major version in the top byte.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t kProgramVersion = 0x01020000;

// "1.2.0.0" for 0x01020000.
std::string VersionText(uint32_t version = kProgramVersion);
