#include "diag/ReportPage.h"

#include <gtest/gtest.h>

namespace {

// Every optional line present, and a message that tries to break out of the form.
ReportFields SampleFields() {
    ReportFields f;
    f.message = "Cannot open C:\\a&b\\</TEXTAREA><script>alert(\"x\")</script>";
    f.className = "Exception";
    f.address = 0x401A2B;
    f.flags = 0x22;
    f.version = "1.2.0.0";
    f.system = "Windows NT 6.1 Build: 7601 Service Pack 1";
    f.processor = "2x Pentium 4, 2793 MHz";
    f.memory = "812 of 2047 MB, Allocated 9344 (1021 of 1344) KB";
    f.mainInstance = 4194304;
    f.registers = "EAX=00000000 EBX=00000000";
    f.fault.code = kAccessViolation;
    f.frameAddress = 0x401234;
    f.trace = "\r\n00401005\r\n00402010\r\n";
    f.dump = "00 01 02 03 04 05 06 07 - 08 09 0A 0B 0C 0D 0E 0F\r\n";
    return f;
}

// The Wine tests read the real page field by field; these are the texts it is built from.
TEST(ReportPage, WritesEachFieldOnItsLineWithTheTextsEscaped) {
    const std::string page = BuildReportPage(SampleFields());
    for (const char* lines : {
             "\nException: Cannot open "
             "C:\\a&amp;b\\&lt;/TEXTAREA&gt;&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;\r\n",
             "\nException address: 00401A2B\r\nApp mode: 34\r\nApp version: 1.2.0.0\r\n",
             "\nhinst=0, main=4194304\r\n",
             "\nExceptionInfo: Error when read from 00000000\r\nFrame: 00401234\r\nStackTrace: \r\n00401005\r\n",
             "\nRaw stack dump: \r\n00 01 02 03 04 05 06 07 - 08 09 0A 0B 0C 0D 0E 0F\r\n",
         })
        EXPECT_NE(page.find(lines), std::string::npos) << lines;
    EXPECT_EQ(page.find("</TEXTAREA>"), page.rfind("</TEXTAREA>")) << "only the form's own closing tag";
    EXPECT_EQ(HtmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e'f");
}

TEST(ReportPage, OptionalLinesFollowTheirState) {
    ReportFields f = SampleFields();
    f.moduleHandle = 0x400000;
    f.fault.code = kIntegerDivideByZero;
    f.frameAddress = 0;
    const std::string page = BuildReportPage(f);
    for (const char* absent : {"hinst=", "ExceptionInfo:", "Frame:"})
        EXPECT_EQ(page.find(absent), std::string::npos) << absent;

    f = SampleFields();
    f.fault.parameters[0] = 1;
    EXPECT_NE(BuildReportPage(f).find("\nExceptionInfo: Error when write to 00000000\r\n"), std::string::npos);
}

// While names are taken, numbers are drawn, but not for ever: the last one is used anyway.
TEST(ReportPage, ChoosesAReportNameInABoundedNumberOfDraws) {
    int draws = 0;
    const auto allTaken = [](const std::string&) { return true; };
    EXPECT_EQ(ChooseReportPath("C:", allTaken, [&] { return ++draws; }), "C:\\BugReport10001.html");
}

}  // namespace
