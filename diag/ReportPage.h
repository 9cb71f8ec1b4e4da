// The bug report page and the small texts around it. No Windows calls: the report writer gathers
// the values, this builds the bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "diag/Fault.h"

// The form's action: the product's bug-report page.
extern const char kBugReportUrl[];

struct ReportFields {
    std::string message;
    std::string className;
    uint64_t address = 0;
    uint32_t flags = 0;
    std::string version;
    std::string system;
    std::string processor;
    std::string memory;
    uint64_t moduleHandle = 0;  // 0 adds the "hinst=0" line with mainInstance
    uint64_t mainInstance = 0;
    std::string registers;
    FaultRecord fault;          // an access violation adds the "ExceptionInfo:" line
    uint64_t frameAddress = 0;  // non-zero adds the "Frame:" line
    std::string trace;
    std::string dump;
    int addressDigits = 8;
};

// The whole page, CR LF after every line. Everything inside the text area is HTML-escaped, so a
// message holding markup neither breaks out of the form nor changes the text the browser posts.
std::string BuildReportPage(const ReportFields& fields);

// `&`, `<`, `>` and `"` as character references.
std::string HtmlEscape(std::string_view text);

// "EAX=... EBX=..." : every register as its name, "=" and `digits` hex digits, separated by blanks.
std::string FormatRegisterLine(const std::vector<std::pair<const char*, uint64_t>>& registers, int digits);

// The class line of an uncaught object that is not one of the program's exceptions, at most 255
// characters.
std::string ForeignExceptionClassText(std::string_view typeName);

// The comment sent with the notice of a failure while reporting: "Z" + frame address + "," when
// there is one, then the one-line trace.
std::string ReentryComment(uint64_t frameAddress, const std::string& oneLineTrace, int digits);

// The report file in `folder`: BugReport.html, or while that name is taken BugReport<N>.html with N
// from `drawNumber`, trying at most 10001 numbers; the last one drawn is used whether taken or not.
std::string ChooseReportPath(const std::string& folder,
                             const std::function<bool(const std::string&)>& exists,
                             const std::function<int()>& drawNumber);
