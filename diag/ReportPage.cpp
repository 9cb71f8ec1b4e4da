#include "diag/ReportPage.h"

#include "diag/StackWalk.h"

const char kBugReportUrl[] = "https://kestrella.example/vantora/bugreport.php";

namespace {

constexpr size_t kClassTextLimit = 255;
constexpr int kReportNameAttempts = 10001;

void AddLine(std::string& page, std::string_view line) {
    page += line;
    page += "\r\n";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
                break;
        }
    }
    return escaped;
}

std::string BuildReportPage(const ReportFields& f) {
    const int digits = f.addressDigits;
    std::string inside;
    AddLine(inside, "Exception: " + f.message);
    AddLine(inside, "Exception class: " + f.className);
    AddLine(inside, "Exception address: " + HexDigits(f.address, digits));
    AddLine(inside, "App mode: " + std::to_string(f.flags));
    AddLine(inside, "App version: " + f.version);
    AddLine(inside, "System: " + f.system);
    AddLine(inside, "Processor: " + f.processor);
    AddLine(inside, "Memory: " + f.memory);
    if (f.moduleHandle == 0) AddLine(inside, "hinst=0, main=" + std::to_string(f.mainInstance));
    AddLine(inside, "");
    AddLine(inside, "Registers:");
    AddLine(inside, f.registers);
    AddLine(inside, "");
    if (f.fault.code == kAccessViolation) {
        AddLine(inside, std::string("ExceptionInfo: Error when ") +
                            (f.fault.parameters[0] == 0 ? "read from " : "write to ") +
                            HexDigits(f.fault.parameters[1], digits));
    }
    if (f.frameAddress != 0) AddLine(inside, "Frame: " + HexDigits(f.frameAddress, digits));
    AddLine(inside, "StackTrace: " + f.trace);
    AddLine(inside, "");
    AddLine(inside, "Raw stack dump: \r\n" + f.dump);
    AddLine(inside, "");
    AddLine(inside, "");

    std::string page;
    AddLine(page, "<html><head><title>Exception report: Vantora</title></head><BODY>");
    AddLine(page,
            "An error has occurred in Vantora. To let us know about the error and thus help us fix it, just send "
            "this report using \"Send Report\" button.<BR><BR>");
    AddLine(page, std::string("<FORM action=\"") + kBugReportUrl + "\" method=post>");
    AddLine(page, "Contact email (optional):<BR><INPUT id=email size=47 name=email><BR><BR>");
    AddLine(page, "Exception information: (do not edit)<BR>");
    AddLine(page, "<TEXTAREA id=message name=message rows=11 wrap=PHYSICAL cols=60>");
    page += HtmlEscape(inside);
    AddLine(page, "</TEXTAREA><BR><BR>");
    AddLine(page, "");
    AddLine(page, "");
    AddLine(page, "<INPUT type=submit value=\"Send Report\" name=Submit>");
    AddLine(page, "</FORM>");
    AddLine(page, "</BODY></html>");
    return page;
}

std::string FormatRegisterLine(const std::vector<std::pair<const char*, uint64_t>>& registers, int digits) {
    std::string line;
    for (const auto& [name, value] : registers) {
        if (!line.empty()) line += ' ';
        line += name;
        line += '=';
        line += HexDigits(value, digits);
    }
    return line;
}

std::string ForeignExceptionClassText(std::string_view typeName) {
    std::string text = "Exception object " + std::string(typeName) + " is not of class Exception.";
    if (text.size() > kClassTextLimit) text.resize(kClassTextLimit);
    return text;
}

std::string ReentryComment(uint64_t frameAddress, const std::string& oneLineTrace, int digits) {
    std::string comment;
    if (frameAddress != 0) comment = "Z" + HexDigits(frameAddress, digits) + ",";
    return comment + oneLineTrace;
}

std::string ChooseReportPath(const std::string& folder,
                             const std::function<bool(const std::string&)>& exists,
                             const std::function<int()>& drawNumber) {
    std::string path = folder + "\\BugReport.html";
    for (int attempt = 0; attempt < kReportNameAttempts && exists(path); ++attempt) {
        path = folder + "\\BugReport" + std::to_string(drawNumber()) + ".html";
    }
    return path;
}
