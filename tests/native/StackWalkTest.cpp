#include "diag/StackWalk.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A sparse address space: only the bytes written are readable.
struct FakeMemory : MemoryReader {
    void Put(uint64_t address, uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[address + static_cast<uint64_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }
    void PutBytes(uint64_t address, std::initializer_list<uint8_t> values) {
        for (uint8_t v : values)
            bytes[address++] = v;
    }
    bool Read(uint64_t address, void* out, size_t size) const override {
        for (size_t i = 0; i < size; ++i) {
            const auto it = bytes.find(address + i);
            if (it == bytes.end()) return false;
            static_cast<uint8_t*>(out)[i] = it->second;
        }
        return true;
    }
    std::map<uint64_t, uint8_t> bytes;
};

CodeRangeTable TableFor(uint64_t start, uint64_t end) {
    CodeRangeTable table;
    table.Add({start, end, "mainexe"});
    return table;
}

TEST(StackWalk, RecognisesTheCallBeforeAReturnAddress) {
    FakeMemory memory;
    const uint64_t code = 0x401000;
    const uint64_t returnAddress = code + 0x80;
    const CodeRangeTable table = TableFor(code, code + 0x100);
    // The instruction that ends at the return address, and the size the walker must find for it. An
    // aggregate, so the byte lists live as long as the table.
    const struct {
        std::initializer_list<uint8_t> bytes;
        int size;
    } cases[] = {
        {{0xE8, 0x10, 0x20, 0x30, 0x40}, 5},  // call rel32
        {{0xFF, 0x55, 0x08}, 3},              // call [ebp+8]
        {{0x90}, 0},                          // no call
        {{0xFF, 0xE0}, 0},                    // jmp eax: reg field 4, not a call
    };
    for (const auto& [bytes, size] : cases) {
        memory.PutBytes(returnAddress - 8, {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90});
        memory.PutBytes(returnAddress - bytes.size(), bytes);
        EXPECT_EQ(CallerAddressOf(returnAddress, table, memory), returnAddress - static_cast<uint64_t>(size)) << size;
    }
    // The eight bytes before the return address must lie in the table.
    memory.PutBytes(code + 2, {0xE8, 0, 0, 0, 0});
    EXPECT_EQ(CallInstructionSize(code + 7, table, memory), 0);
}

// Frames as a function compiled with frame pointers leaves them, for either word size: the saved
// frame pointer, then the return address.
class FrameChain : public ::testing::TestWithParam<int> {
protected:
    void Frame(uint64_t frame, uint64_t saved, uint64_t returnAddress) {
        memory.Put(frame, saved, word);
        memory.Put(frame + static_cast<uint64_t>(word), returnAddress, word);
    }
    // A return address inside the program, right after a 5-byte call.
    uint64_t AfterCall(uint64_t offset) {
        memory.PutBytes(code + offset - 8, {0x90, 0x90, 0x90, 0xE8, 1, 2, 3, 4});
        return code + offset;
    }
    std::vector<uint64_t> Walk(uint64_t start) {
        std::vector<uint64_t> listed;
        for (uint64_t frame = start, caller = 0;
             StepFrame(frame, caller, start - 1, low + 0x1000, word, table, memory);)
            listed.push_back(caller);
        return listed;
    }

    const int word = GetParam();
    const uint64_t low = word == 4 ? 0x120000 : 0x7FF6F0000000;
    const uint64_t code = word == 4 ? 0x401000 : 0x140001000;
    const CodeRangeTable table = TableFor(code, code + 0x1000);
    FakeMemory memory;
};

TEST_P(FrameChain, ListsCallSitesSkipsForeignFramesAndStopsOutsideTheStackGoingDownOrInALoop) {
    const uint64_t f0 = low + 0x100, f1 = low + 0x180, f2 = low + 0x200, f3 = low + 0x300;
    const uint64_t r0 = AfterCall(0x100);
    const uint64_t r2 = code + 0x300;  // no call before it: listed as it is
    Frame(f0, f1, r0);
    Frame(f1, f2, 0x7000020);  // returns into a system library: not listed
    Frame(f2, f3, r2);
    Frame(f3, low + 0x1100, AfterCall(0x400));  // saved pointer leaves the stack: not listed, walk ends
    EXPECT_EQ(Walk(f0), (std::vector<uint64_t>{r0 - 5, r2}));

    Frame(low + 0x80, low + 0x40, r0);  // points downwards, below the start
    EXPECT_TRUE(Walk(low + 0x80).empty());
    // A corrupt stack must not keep the walk going for ever: a frame that points to itself, or a
    // chain that climbs and then falls back inside the stack.
    Frame(f0, f0, r0);
    EXPECT_TRUE(Walk(f0).empty());
    Frame(f0, f1, r0);
    Frame(f1, f2, r0);
    Frame(f2, f0, r0);
    EXPECT_EQ(Walk(f0), (std::vector<uint64_t>{r0 - 5, r0 - 5})) << "f0 and f1 listed, f2 ends the walk";
}

INSTANTIATE_TEST_SUITE_P(WordSizes, FrameChain, ::testing::Values(4, 8));

TEST(StackWalk, TheOneLineTraceIsCutAfterTwelveAddresses) {
    for (int digits : {8, 16}) {
        TraceText oneLine(true, digits);
        std::string expected;
        for (uint64_t address = 0x140001000; oneLine.Add(address); ++address)
            expected += HexDigits(address, digits) + ",";
        EXPECT_EQ(oneLine.Finish(), expected + "0") << "cut after twelve";
        EXPECT_EQ(expected.size(), 12u * (static_cast<size_t>(digits) + 1));
    }
}

}  // namespace
