// The addresses the program opens in the user's browser. No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The product's web site; the error page and the bug-report form hang below it.
extern const char kSiteAddress[];
// The error page for `code`, with the address (at least 8 upper-case hex digits) when not 0 and
// the comment, percent-encoded, when not empty.
std::string WebErrorUrl(int code, uintptr_t address, std::string_view comment);
// Percent-encodes everything but letters, digits and -._~, so any text is one query value.
std::string UrlEncode(std::string_view text);
