// Decisions behind the stack trace and the raw stack dump: which numbers on a stack are return
// addresses into the program, where the call before them starts, when a walk stops, and how the
// texts look. Memory is reached through a reader, so the same code walks a live stack on Windows
// and a synthetic one in the native tests, for 4- and 8-byte words alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Copies bytes out of some address space.
class MemoryReader {
public:
    virtual ~MemoryReader() = default;
    // False when any of the `size` bytes at `address` cannot be read.
    virtual bool Read(uint64_t address, void* out, size_t size) const = 0;
};

struct CodeRange {
    uint64_t start = 0;
    uint64_t end = 0;  // exclusive
    std::string name;
};

// The ranges of code whose return addresses a trace lists. It holds at most the program's own code
// section; `LastIndex` is -1 while nothing is known yet, so a failed set-up is retried later.
class CodeRangeTable {
public:
    int LastIndex() const { return static_cast<int>(entries_.size()) - 1; }
    void Clear() { entries_.clear(); }
    void Add(const CodeRange& range) { entries_.push_back(range); }
    bool Contains(uint64_t address) const;

private:
    std::vector<CodeRange> entries_;
};

// The code section of the image mapped at `moduleBase`, named "mainexe". Throws Exception "Not a
// valid MZ-file!" or "Not a valid PE-file!" when the headers are not an image's.
CodeRange ImageCodeRange(const MemoryReader& memory, uint64_t moduleBase);

// The length of the call instruction that ends right before `returnAddress` (5 for a near relative
// call, 2, 3, 4, 6 or 7 for the indirect forms), or 0 when the bytes there are no call, lie outside
// the table or cannot be read.
int CallInstructionSize(uint64_t returnAddress, const CodeRangeTable& table, const MemoryReader& memory);

// The address a trace lists for a return address: the call instruction when one is recognised.
uint64_t CallerAddressOf(uint64_t returnAddress, const CodeRangeTable& table, const MemoryReader& memory);

// One step along a chain of saved frame pointers of `wordSize` bytes (each frame starts with the
// caller's frame pointer, then the return address). Frames whose return address lies outside the
// table, or whose saved pointer leaves the open interval (low, high), are passed over; the next
// frame that returns into the table sets `callerAddress` and answers true. False once `frame`
// leaves (low, high) or a saved pointer does not climb above its frame.
bool StepFrame(uint64_t& frame,
               uint64_t& callerAddress,
               uint64_t low,
               uint64_t high,
               int wordSize,
               const CodeRangeTable& table,
               const MemoryReader& memory);

// What a walk driven by the system unwinder does with the frame it just reached: the return
// address `ip` and the stack pointer `sp` after the step, `previousSp` before it.
enum class UnwoundFrame { Stop, Skip, List };
UnwoundFrame ClassifyUnwoundFrame(uint64_t ip,
                                  uint64_t sp,
                                  uint64_t previousSp,
                                  uint64_t low,
                                  uint64_t high,
                                  const CodeRangeTable& table);

// `value` as `digits` upper-case hexadecimal digits (leading zeros kept, higher digits dropped).
std::string HexDigits(uint64_t value, int digits);

// The trace text: every address followed by CR LF, or in the one-line form joined by "," and cut
// after 12 addresses with a final ",0" to say so.
class TraceText {
public:
    TraceText(bool oneLine, int digits) : oneLine_(oneLine), digits_(digits) {}
    // False once the one-line form is full; the walk should stop then.
    bool Add(uint64_t callerAddress);
    std::string Finish() const;

    static constexpr int kOneLineAddresses = 12;

private:
    bool oneLine_;
    int digits_;
    int count_ = 0;
    std::string text_;
};

// Up to 20 lines of 16 bytes from `start`, never reading at or beyond `end`: eight "XX " groups,
// "-", eight " XX" groups, CR LF. A line cut by `end` gets neither "-" nor CR LF; an unreadable
// byte ends the dump with CR LF "Error".
std::string FormatStackDump(const MemoryReader& memory, uint64_t start, uint64_t end);
