#include "diag/ReportPage.h"

#include <gtest/gtest.h>

#include <set>

#include "diag/Fault.h"

namespace {

std::vector<std::string> Lines(const std::string& page) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = page.find("\r\n"); end != std::string::npos; end = page.find("\r\n", start)) {
        lines.push_back(page.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, page.size()) << "the page ends with CR LF";
    return lines;
}

ReportFields SampleFields() {
    ReportFields f;
    f.message = "Wrong pathind";
    f.className = "Exception";
    f.address = 0x401A2B;
    f.flags = 0x22;
    f.version = "1.2.0.0";
    f.system = "Windows NT 6.1 Build: 7601 Service Pack 1";
    f.processor = "2x Pentium 4, 2793 MHz";
    f.memory = "812 of 2047 MB, Allocated 9344 (1021 of 1344) KB";
    f.moduleHandle = 0x400000;
    f.mainInstance = 0x400000;
    f.registers = "EAX=00000000 EBX=00000000";
    f.trace = "\r\n00401005\r\n00402010\r\n";
    f.dump = "00 01 02 03 04 05 06 07 - 08 09 0A 0B 0C 0D 0E 0F\r\n";
    return f;
}

TEST(ReportPage, WritesThePageLineByLine) {
    const std::vector<std::string> expected = {
        "<html><head><title>Exception report: Vantora</title></head><BODY>",
        "An error has occurred in Vantora. To let us know about the error and thus help us fix it, just send this "
        "report using \"Send Report\" button.<BR><BR>",
        "<FORM action=\"https://kestrella.example/vantora/bugreport.php\" method=post>",
        "Contact email (optional):<BR><INPUT id=email size=47 name=email><BR><BR>",
        "Exception information: (do not edit)<BR>",
        "<TEXTAREA id=message name=message rows=11 wrap=PHYSICAL cols=60>",
        "Exception: Wrong pathind",
        "Exception class: Exception",
        "Exception address: 00401A2B",
        "App mode: 34",
        "App version: 1.2.0.0",
        "System: Windows NT 6.1 Build: 7601 Service Pack 1",
        "Processor: 2x Pentium 4, 2793 MHz",
        "Memory: 812 of 2047 MB, Allocated 9344 (1021 of 1344) KB",
        "",
        "Registers:",
        "EAX=00000000 EBX=00000000",
        "",
        "StackTrace: ",  // the raise hook's trace begins with CR LF
        "00401005",
        "00402010",
        "",
        "",
        "Raw stack dump: ",
        "00 01 02 03 04 05 06 07 - 08 09 0A 0B 0C 0D 0E 0F",
        "",
        "",
        "",
        "</TEXTAREA><BR><BR>",
        "",
        "",
        "<INPUT type=submit value=\"Send Report\" name=Submit>",
        "</FORM>",
        "</BODY></html>",
    };
    EXPECT_EQ(Lines(BuildReportPage(SampleFields())), expected);
}

TEST(ReportPage, OptionalLinesAppearOnlyWhenTheirStateSaysSo) {
    ReportFields f = SampleFields();
    f.moduleHandle = 0;
    f.mainInstance = 4194304;
    f.fault.code = kAccessViolation;
    f.fault.parameterCount = 2;
    f.fault.parameters[0] = 0;
    f.fault.parameters[1] = 0;
    f.frameAddress = 0x401234;
    std::vector<std::string> lines = Lines(BuildReportPage(f));
    EXPECT_EQ(lines[14], "hinst=0, main=4194304");
    EXPECT_EQ(lines[19], "ExceptionInfo: Error when read from 00000000");
    EXPECT_EQ(lines[20], "Frame: 00401234");
    EXPECT_EQ(lines[21], "StackTrace: ");

    f.fault.parameters[0] = 1;
    f.fault.parameters[1] = 0x12345678;
    EXPECT_EQ(Lines(BuildReportPage(f))[19], "ExceptionInfo: Error when write to 12345678");

    f.fault.code = kIntegerDivideByZero;
    f.frameAddress = 0;
    lines = Lines(BuildReportPage(f));
    EXPECT_EQ(lines[19], "StackTrace: ");
}

TEST(ReportPage, SixtyFourBitAddressesHaveSixteenDigits) {
    ReportFields f = SampleFields();
    f.addressDigits = 16;
    f.address = 0x140001234;
    f.frameAddress = 0x1400055AA;
    const std::vector<std::string> lines = Lines(BuildReportPage(f));
    EXPECT_EQ(lines[8], "Exception address: 0000000140001234");
    EXPECT_EQ(lines[18], "Frame: 00000001400055AA");
}

std::string HtmlUnescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        bool replaced = false;
        for (auto [entity, c] : {std::pair{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}}) {
            const std::string e = entity;
            if (text.compare(i, e.size(), e) == 0) {
                out += c;
                i += e.size() - 1;
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i];
    }
    return out;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(ReportPage, MarkupInTheTextsCannotLeaveTheTextArea) {
    ReportFields f = SampleFields();
    f.message = "Cannot open C:\\a&b\\</TEXTAREA><script>alert(\"x\")</script>";
    f.className = "E<Odd>";
    f.system = "Windows NT 6.1 Build: 7601 \"<b>\"";
    const std::string page = BuildReportPage(f);
    EXPECT_EQ(Count(page, "</TEXTAREA>"), 1u);
    EXPECT_EQ(Count(page, "<script>"), 0u);

    const size_t open = page.find("cols=60>\r\n") + 10;
    const size_t close = page.find("</TEXTAREA>");
    const std::string posted = HtmlUnescape(page.substr(open, close - open));
    EXPECT_NE(posted.find("Exception: " + f.message + "\r\n"), std::string::npos);
    EXPECT_NE(posted.find("Exception class: E<Odd>\r\n"), std::string::npos);
    EXPECT_NE(posted.find("System: " + f.system + "\r\n"), std::string::npos);
    EXPECT_EQ(HtmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e'f");
}

TEST(ReportPage, RegisterLinesForBothWordSizes) {
    EXPECT_EQ(FormatRegisterLine({{"EAX", 0}, {"EBX", 0x12AB}, {"ESP", 0x0012FF80}}, 8),
              "EAX=00000000 EBX=000012AB ESP=0012FF80");
    EXPECT_EQ(FormatRegisterLine({{"RAX", 0x140001000}, {"RSP", 0x21F7A8}}, 16),
              "RAX=0000000140001000 RSP=000000000021F7A8");
}

TEST(ReportPage, SmallTexts) {
    EXPECT_EQ(ForeignExceptionClassText("std::runtime_error"),
              "Exception object std::runtime_error is not of class Exception.");
    EXPECT_EQ(ForeignExceptionClassText(std::string(400, 'x')).size(), 255u);
    EXPECT_EQ(ReentryComment(0x401234, "00401000,00402000", 8), "Z00401234,00401000,00402000");
    EXPECT_EQ(ReentryComment(0, "00401000", 8), "00401000");
}

TEST(ReportPage, ChoosesAFreeReportName) {
    std::set<std::string> taken;
    int draws = 0;
    auto exists = [&](const std::string& path) { return taken.count(path) > 0; };
    auto draw = [&] { return ++draws % 3; };
    EXPECT_EQ(ChooseReportPath("C:\\Data", exists, draw), "C:\\Data\\BugReport.html");
    EXPECT_EQ(draws, 0);

    taken = {"C:\\Data\\BugReport.html", "C:\\Data\\BugReport1.html"};
    EXPECT_EQ(ChooseReportPath("C:\\Data", exists, draw), "C:\\Data\\BugReport2.html");
    EXPECT_EQ(draws, 2);

    // Every name taken: 10001 draws, and the last name is used anyway.
    draws = 0;
    auto all = [](const std::string&) { return true; };
    EXPECT_EQ(ChooseReportPath("C:\\Data", all, [&] { return ++draws; }), "C:\\Data\\BugReport10001.html");
    EXPECT_EQ(draws, 10001);
}

TEST(Fault, FaultsBecomeNamedExceptions) {
    FaultRecord read;
    read.code = kAccessViolation;
    read.address = 0x401234;
    read.parameterCount = 2;
    try {
        ThrowFaultException(read, 8);
    } catch (const EAccessViolation& e) {
        EXPECT_STREQ(e.ClassName(), "EAccessViolation");
        EXPECT_EQ(e.Message(), "Access violation at address 00401234. Read of address 00000000");
    }
    FaultRecord write = read;
    write.parameters[0] = 1;
    write.parameters[1] = 0xDEADBEEF;
    EXPECT_THROW(ThrowFaultException(write, 8), EAccessViolation);
    try {
        ThrowFaultException(write, 16);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Access violation at address 0000000000401234. Write of address 00000000DEADBEEF");
    }
    FaultRecord divide;
    divide.code = kIntegerDivideByZero;
    EXPECT_THROW(ThrowFaultException(divide, 8), EDivByZero);
    FaultRecord illegal;
    illegal.code = 0xC000001D;
    try {
        ThrowFaultException(illegal, 8);
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), "EExternalException");
        EXPECT_EQ(e.Message(), "External exception C000001D at address 00000000");
    }
    EXPECT_TRUE(IsConvertibleFault(kAccessViolation));
    EXPECT_FALSE(IsConvertibleFault(0xC00000FD)) << "stack overflow";
    EXPECT_FALSE(IsConvertibleFault(0x20474343)) << "a C++ throw";
    EXPECT_FALSE(IsConvertibleFault(0x80000003)) << "breakpoint";
}

}  // namespace
