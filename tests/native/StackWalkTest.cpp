#include "diag/StackWalk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "app/Exception.h"

namespace {

// A sparse address space: separate blocks of bytes at chosen addresses; everything else unreadable.
class FakeMemory : public MemoryReader {
public:
    std::vector<uint8_t>& Block(uint64_t base, size_t size) {
        auto& block = blocks_[base];
        block.resize(size);
        return block;
    }
    bool Read(uint64_t address, void* out, size_t size) const override {
        for (const auto& [base, bytes] : blocks_) {
            if (address >= base && address + size <= base + bytes.size()) {
                std::memcpy(out, bytes.data() + (address - base), size);
                return true;
            }
        }
        return false;
    }
    void Put(uint64_t address, uint64_t value, int size) {
        for (auto& [base, bytes] : blocks_) {
            if (address >= base && address + static_cast<uint64_t>(size) <= base + bytes.size()) {
                for (int i = 0; i < size; ++i)
                    bytes[address - base + static_cast<uint64_t>(i)] = (value >> (8 * i)) & 0xFF;
                return;
            }
        }
        ADD_FAILURE() << "no block at " << address;
    }
    void PutBytes(uint64_t address, std::initializer_list<uint8_t> values) {
        uint64_t a = address;
        for (uint8_t v : values)
            Put(a++, v, 1);
    }

private:
    std::map<uint64_t, std::vector<uint8_t>> blocks_;
};

CodeRangeTable TableFor(uint64_t start, uint64_t end) {
    CodeRangeTable table;
    table.Add({start, end, "mainexe"});
    return table;
}

TEST(StackWalk, ReadsTheCodeSectionFromTheImageHeaders) {
    FakeMemory memory;
    const uint64_t base = 0x400000;
    memory.Block(base, 0x200);
    memory.Put(base, 0x5A4D, 2);
    memory.Put(base + 0x3C, 0x80, 4);
    memory.Put(base + 0x80, 0x00004550, 4);
    memory.Put(base + 0x98 + 4, 0x3000, 4);   // SizeOfCode
    memory.Put(base + 0x98 + 20, 0x1000, 4);  // BaseOfCode
    const CodeRange range = ImageCodeRange(memory, base);
    EXPECT_EQ(range.start, 0x401000u);
    EXPECT_EQ(range.end, 0x404000u);
    EXPECT_EQ(range.name, "mainexe");

    memory.Put(base + 0x80, 0x00004551, 4);
    try {
        ImageCodeRange(memory, base);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Not a valid PE-file!");
    }
    memory.Put(base, 0x5A4E, 2);
    try {
        ImageCodeRange(memory, base);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Not a valid MZ-file!");
    }
}

TEST(StackWalk, TheTableIsEmptyUntilFilledAndEndsAreExclusive) {
    CodeRangeTable table;
    EXPECT_EQ(table.LastIndex(), -1);
    EXPECT_FALSE(table.Contains(0));
    table.Add({0x1000, 0x2000, "mainexe"});
    EXPECT_EQ(table.LastIndex(), 0);
    EXPECT_TRUE(table.Contains(0x1000));
    EXPECT_TRUE(table.Contains(0x1FFF));
    EXPECT_FALSE(table.Contains(0x2000));
    EXPECT_FALSE(table.Contains(0xFFF));
}

TEST(StackWalk, RecognisesTheCallBeforeAReturnAddress) {
    FakeMemory memory;
    const uint64_t code = 0x401000;
    memory.Block(code, 0x100);
    const CodeRangeTable table = TableFor(code, code + 0x100);
    struct {
        std::initializer_list<uint8_t> bytes;  // the instruction that ends at the return address
        int size;
    } cases[] = {
        {{0xE8, 0x10, 0x20, 0x30, 0x40}, 5},                    // call rel32
        {{0xFF, 0xD0}, 2},                                      // call eax
        {{0xFF, 0x55, 0x08}, 3},                                // call [ebp+8]
        {{0xFF, 0x54, 0x24, 0x08}, 4},                          // call [esp+8]
        {{0xFF, 0x15, 0x00, 0x20, 0x40, 0x00}, 6},              // call [rip+disp32] / [abs32]
        {{0xFF, 0x94, 0x24, 0x00, 0x01, 0x00, 0x00}, 7},        // call [esp+disp32]
        {{0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90}, 0},  // no call
        {{0xFF, 0xE0}, 0},                                      // jmp eax: reg field 4, not a call
    };
    for (const auto& c : cases) {
        const uint64_t returnAddress = code + 0x80;
        memory.PutBytes(returnAddress - 8, {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90});
        memory.PutBytes(returnAddress - c.bytes.size(), c.bytes);
        SCOPED_TRACE(c.size);
        EXPECT_EQ(CallInstructionSize(returnAddress, table, memory), c.size);
        EXPECT_EQ(CallerAddressOf(returnAddress, table, memory), returnAddress - static_cast<uint64_t>(c.size));
    }
    // The eight bytes before the return address must lie in the table and be readable.
    memory.PutBytes(code + 2, {0xE8, 0, 0, 0, 0});
    EXPECT_EQ(CallInstructionSize(code + 7, table, memory), 0);
    EXPECT_EQ(CallInstructionSize(8, TableFor(0, 0x100), memory), 0);
    EXPECT_EQ(CallInstructionSize(0x900000, TableFor(0x800000, 0xA00000), memory), 0);
}

// A synthetic stack of frames for either word size: each frame holds the saved frame pointer and
// the return address, as a function compiled with frame pointers leaves them.
struct SyntheticStack {
    SyntheticStack(int wordSize, uint64_t stackBase, uint64_t codeBase)
        : word(wordSize), low(stackBase), high(stackBase + 0x1000), code(codeBase) {
        memory.Block(low, 0x1000);
        memory.Block(code, 0x1000);
        memory.Block(kSystemCode, 0x100);
        table.Add({code, code + 0x1000, "mainexe"});
    }
    // A frame at `frame` that links to `saved` and returns to `returnAddress`.
    void Frame(uint64_t frame, uint64_t saved, uint64_t returnAddress) {
        memory.Put(frame, saved, word);
        memory.Put(frame + static_cast<uint64_t>(word), returnAddress, word);
    }
    // A return address inside the program, right after a 5-byte call.
    uint64_t AfterCall(uint64_t offset) {
        memory.PutBytes(code + offset - 5, {0xE8, 1, 2, 3, 4});
        return code + offset;
    }
    std::vector<uint64_t> Walk(uint64_t start) {
        std::vector<uint64_t> listed;
        uint64_t frame = start;
        uint64_t caller = 0;
        while (StepFrame(frame, caller, start - 1, high, word, table, memory))
            listed.push_back(caller);
        return listed;
    }

    static constexpr uint64_t kSystemCode = 0x7000000;
    int word;
    uint64_t low, high, code;
    FakeMemory memory;
    CodeRangeTable table;
};

class FrameChain : public ::testing::TestWithParam<int> {};

TEST_P(FrameChain, ListsCallSitesSkipsForeignFramesAndStopsOutsideTheStack) {
    const int word = GetParam();
    SyntheticStack s(word, word == 4 ? 0x120000 : 0x7FF6F0000000, word == 4 ? 0x401000 : 0x140001000);
    const uint64_t f0 = s.low + 0x100, f1 = s.low + 0x180, f2 = s.low + 0x200, f3 = s.low + 0x300;
    const uint64_t r0 = s.AfterCall(0x100);
    const uint64_t r2 = s.code + 0x300;  // no call before it: listed as it is
    s.Frame(f0, f1, r0);
    s.Frame(f1, f2, SyntheticStack::kSystemCode + 0x20);  // returns into a system library: not listed
    s.Frame(f2, f3, r2);
    s.Frame(f3, s.high + 0x100, s.AfterCall(0x400));  // saved pointer leaves the stack: not listed, walk ends
    EXPECT_EQ(s.Walk(f0), (std::vector<uint64_t>{r0 - 5, r2}));
}

TEST_P(FrameChain, ACorruptPointerBelowTheStartEndsTheWalk) {
    const int word = GetParam();
    SyntheticStack s(word, 0x120000, 0x401000);
    const uint64_t f0 = s.low + 0x200;
    s.Frame(f0, s.low + 0x100, s.AfterCall(0x100));  // points downwards, below the start
    EXPECT_TRUE(s.Walk(f0).empty());
}

TEST_P(FrameChain, OneLineTraceOfTwentyFramesHoldsTwelveAndSaysItWasCut) {
    const int word = GetParam();
    SyntheticStack s(word, 0x120000, 0x401000);
    std::vector<uint64_t> frames;
    for (int i = 0; i <= 20; ++i)
        frames.push_back(s.low + 0x40 + static_cast<uint64_t>(i) * 0x40);
    for (int i = 0; i < 20; ++i)
        s.Frame(frames[i], frames[i + 1], s.AfterCall(0x100 + static_cast<uint64_t>(i) * 0x10));
    s.Frame(frames[20], 0, 0);
    const std::vector<uint64_t> listed = s.Walk(frames[0]);
    ASSERT_EQ(listed.size(), 20u);

    const int digits = word * 2;
    TraceText oneLine(true, digits);
    size_t added = 0;
    for (uint64_t caller : listed) {
        if (!oneLine.Add(caller)) break;
        ++added;
    }
    EXPECT_EQ(added, 12u);
    const std::string text = oneLine.Finish();
    std::string expected;
    for (size_t i = 0; i < 12; ++i)
        expected += HexDigits(listed[i], digits) + ",";
    EXPECT_EQ(text, expected + "0");

    TraceText multiLine(false, digits);
    for (uint64_t caller : listed)
        ASSERT_TRUE(multiLine.Add(caller));
    const std::string lines = multiLine.Finish();
    EXPECT_EQ(lines.size(), listed.size() * (static_cast<size_t>(digits) + 2));
    EXPECT_EQ(lines.substr(lines.size() - 2), "\r\n");
}

INSTANTIATE_TEST_SUITE_P(WordSizes, FrameChain, ::testing::Values(4, 8));

TEST(StackWalk, ShortOneLineTracesAreNotCut) {
    TraceText text(true, 8);
    EXPECT_EQ(text.Finish(), "");
    text.Add(0x401005);
    text.Add(0x401234);
    EXPECT_EQ(text.Finish(), "00401005,00401234");
    TraceText wide(true, 16);
    wide.Add(0x140001005);
    EXPECT_EQ(wide.Finish(), "0000000140001005");
}

TEST(StackWalk, UnwoundFramesStopOutsideTheStackOrWithoutProgress) {
    const CodeRangeTable table = TableFor(0x140001000, 0x140100000);
    const uint64_t low = 0x21F000, high = 0x220000;
    EXPECT_EQ(ClassifyUnwoundFrame(0x140001234, 0x21F800, 0x21F700, low, high, table), UnwoundFrame::List);
    EXPECT_EQ(ClassifyUnwoundFrame(0x7B001234, 0x21F800, 0x21F700, low, high, table), UnwoundFrame::Skip);
    EXPECT_EQ(ClassifyUnwoundFrame(0, 0x21F800, 0x21F700, low, high, table), UnwoundFrame::Stop);
    EXPECT_EQ(ClassifyUnwoundFrame(0x140001234, high, 0x21F700, low, high, table), UnwoundFrame::Stop);
    EXPECT_EQ(ClassifyUnwoundFrame(0x140001234, low, low - 8, low, high, table), UnwoundFrame::Stop);
    EXPECT_EQ(ClassifyUnwoundFrame(0x140001234, 0x21F700, 0x21F700, low, high, table), UnwoundFrame::Stop);
}

TEST(StackWalk, FormatsHexWithLeadingZerosInUpperCase) {
    EXPECT_EQ(HexDigits(0, 8), "00000000");
    EXPECT_EQ(HexDigits(0xC0000005, 8), "C0000005");
    EXPECT_EQ(HexDigits(0xabc, 4), "0ABC");
    EXPECT_EQ(HexDigits(0x140001234, 16), "0000000140001234");
}

TEST(StackWalk, DumpsSixteenBytesToALineAndStopsAtTheStackBase) {
    FakeMemory memory;
    const uint64_t base = 0x120000;
    auto& bytes = memory.Block(base - 0x200, 0x200);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i);
    const std::string dump = FormatStackDump(memory, base - 100, base);
    const std::string firstLine = "9C 9D 9E 9F A0 A1 A2 A3 - A4 A5 A6 A7 A8 A9 AA AB\r\n";
    EXPECT_EQ(dump.substr(0, firstLine.size()), firstLine);
    size_t lines = 0;
    for (size_t at = dump.find("\r\n"); at != std::string::npos; at = dump.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 6u);
    EXPECT_EQ(dump.substr(dump.rfind("\r\n") + 2), "FC FD FE FF ");

    const std::string full = FormatStackDump(memory, base - 0x200, base);
    EXPECT_EQ(full.size(), 20 * firstLine.size());
}

TEST(StackWalk, ADumpThatHitsUnreadableMemoryEndsWithError) {
    FakeMemory memory;
    memory.Block(0x1000, 4);
    EXPECT_EQ(FormatStackDump(memory, 0x1000, 0x2000), "00 00 00 00 \r\nError");
    EXPECT_EQ(FormatStackDump(memory, 0x1000, 0x1000), "");
}

}  // namespace
