// Small text helpers shared by every subsystem. No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Lower-cases 'A'..'Z' only, so the result never depends on the code page or locale.
std::string AsciiLower(std::string_view text);

// Signed decimal integer with an optional sign; leading and trailing blanks are allowed, anything
// else (including overflow of 32 bits) fails and leaves `value` untouched.
bool TryParseInt(std::string_view text, int32_t& value);
int32_t ParseIntOr(std::string_view text, int32_t fallback);
// The same grammar, but a number beyond 32 bits gives the nearest 32-bit limit instead of failing;
// `value` is untouched only when the text is not a number.
bool TryParseIntSaturated(std::string_view text, int32_t& value);

// The part after the last '\', '/' or ':' (the file name of a path).
std::string_view FileNameOf(std::string_view path);

// Path up to and excluding the last '\' or ':' ; empty when there is none.
std::string_view ParentFolderOf(std::string_view path);
