#include "diag/StackWalk.h"

#include "app/Exception.h"

namespace {

constexpr uint16_t kMzSignature = 0x5A4D;
constexpr uint32_t kPeSignature = 0x00004550;
constexpr uint64_t kPeOffsetField = 0x3C;
constexpr uint64_t kOptionalHeaderOffset = 24;  // signature + file header
constexpr uint64_t kSizeOfCodeOffset = 4;
constexpr uint64_t kBaseOfCodeOffset = 20;
constexpr int kDumpLines = 20;
constexpr int kDumpHalfLine = 8;

template <typename T>
bool ReadValue(const MemoryReader& memory, uint64_t address, T& value) {
    unsigned char bytes[sizeof(T)];
    if (!memory.Read(address, bytes, sizeof bytes)) return false;
    uint64_t result = 0;
    for (size_t i = sizeof bytes; i-- > 0;)
        result = (result << 8) | bytes[i];
    value = static_cast<T>(result);
    return true;
}

template <typename T>
T ReadOrThrow(const MemoryReader& memory, uint64_t address, const char* failure) {
    T value{};
    if (!ReadValue(memory, address, value)) throw Exception(failure);
    return value;
}

bool ReadWord(const MemoryReader& memory, uint64_t address, int wordSize, uint64_t& value) {
    if (wordSize == 4) {
        uint32_t word = 0;
        if (!ReadValue(memory, address, word)) return false;
        value = word;
        return true;
    }
    return ReadValue(memory, address, value);
}

}  // namespace

bool CodeRangeTable::Contains(uint64_t address) const {
    for (const CodeRange& range : entries_) {
        if (range.start <= address && address < range.end) return true;
    }
    return false;
}

CodeRange ImageCodeRange(const MemoryReader& memory, uint64_t moduleBase) {
    if (ReadOrThrow<uint16_t>(memory, moduleBase, "Not a valid MZ-file!") != kMzSignature) {
        throw Exception("Not a valid MZ-file!");
    }
    const uint64_t pe = moduleBase + ReadOrThrow<uint32_t>(memory, moduleBase + kPeOffsetField, "Not a valid MZ-file!");
    if (ReadOrThrow<uint32_t>(memory, pe, "Not a valid PE-file!") != kPeSignature) {
        throw Exception("Not a valid PE-file!");
    }
    const uint64_t optional = pe + kOptionalHeaderOffset;
    CodeRange range;
    range.start = moduleBase + ReadOrThrow<uint32_t>(memory, optional + kBaseOfCodeOffset, "Not a valid PE-file!");
    range.end = range.start + ReadOrThrow<uint32_t>(memory, optional + kSizeOfCodeOffset, "Not a valid PE-file!");
    range.name = "mainexe";
    return range;
}

int CallInstructionSize(uint64_t returnAddress, const CodeRangeTable& table, const MemoryReader& memory) {
    if (returnAddress <= 8 || !table.Contains(returnAddress - 8)) return 0;
    uint32_t d1 = 0;
    uint32_t d2 = 0;
    if (!ReadValue(memory, returnAddress - 8, d1) || !ReadValue(memory, returnAddress - 4, d2)) return 0;
    // E8 rel32, then FF /2 (indirect near call) with a ModRM byte and 0, 1, 2, 4 or 5 bytes after it.
    if ((d1 & 0xFF000000u) == 0xE8000000u) return 5;
    if ((d2 & 0x38FF0000u) == 0x10FF0000u) return 2;
    if ((d2 & 0x0038FF00u) == 0x0010FF00u) return 3;
    if ((d2 & 0x000038FFu) == 0x000010FFu) return 4;
    if ((d1 & 0x38FF0000u) == 0x10FF0000u) return 6;
    if ((d1 & 0x0038FF00u) == 0x0010FF00u) return 7;
    return 0;
}

uint64_t CallerAddressOf(uint64_t returnAddress, const CodeRangeTable& table, const MemoryReader& memory) {
    return returnAddress - static_cast<uint64_t>(CallInstructionSize(returnAddress, table, memory));
}

bool StepFrame(uint64_t& frame,
               uint64_t& callerAddress,
               uint64_t low,
               uint64_t high,
               int wordSize,
               const CodeRangeTable& table,
               const MemoryReader& memory) {
    while (low < frame && frame < high) {
        uint64_t returnAddress = 0;
        uint64_t savedFrame = 0;
        // A frame that cannot be read ends the walk as surely as one outside the stack.
        if (!ReadWord(memory, frame + static_cast<uint64_t>(wordSize), wordSize, returnAddress) ||
            !ReadWord(memory, frame, wordSize, savedFrame)) {
            return false;
        }
        // Callers' frames lie higher up the stack; a saved pointer that does not climb would walk in
        // a circle, so it ends the walk.
        if (savedFrame <= frame) return false;
        const bool listed = table.Contains(returnAddress) && savedFrame < high;
        if (listed) callerAddress = CallerAddressOf(returnAddress, table, memory);
        frame = savedFrame;
        if (listed) return true;
    }
    return false;
}

UnwoundFrame ClassifyUnwoundFrame(uint64_t ip,
                                  uint64_t sp,
                                  uint64_t previousSp,
                                  uint64_t low,
                                  uint64_t high,
                                  const CodeRangeTable& table) {
    // The stack only grows towards lower addresses, so a step that does not climb would loop.
    if (ip == 0 || !(low < sp && sp < high) || sp <= previousSp) return UnwoundFrame::Stop;
    return table.Contains(ip) ? UnwoundFrame::List : UnwoundFrame::Skip;
}

std::string HexDigits(uint64_t value, int digits) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0 && value != 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = kHex[value & 0xF];
    return text;
}

bool TraceText::Add(uint64_t callerAddress) {
    if (oneLine_ && count_ >= kOneLineAddresses) {
        text_ += "0,";
        return false;
    }
    text_ += HexDigits(callerAddress, digits_);
    text_ += oneLine_ ? "," : "\r\n";
    ++count_;
    return true;
}

std::string TraceText::Finish() const {
    if (oneLine_ && text_.size() > 1) return text_.substr(0, text_.size() - 1);
    return text_;
}

std::string FormatStackDump(const MemoryReader& memory, uint64_t start, uint64_t end) {
    std::string text;
    uint64_t p = start;
    // Appends the next byte with its blank; false when the dump must stop.
    auto appendByte = [&](bool blankFirst, bool& failed) {
        if (p >= end) return false;
        unsigned char byte = 0;
        if (!memory.Read(p, &byte, 1)) {
            failed = true;
            return false;
        }
        text += blankFirst ? " " + HexDigits(byte, 2) : HexDigits(byte, 2) + " ";
        ++p;
        return true;
    };
    bool failed = false;
    for (int line = 0; line < kDumpLines; ++line) {
        for (int i = 0; i < kDumpHalfLine; ++i) {
            if (!appendByte(false, failed)) return failed ? text + "\r\nError" : text;
        }
        text += "-";
        for (int i = 0; i < kDumpHalfLine; ++i) {
            if (!appendByte(true, failed)) return failed ? text + "\r\nError" : text;
        }
        text += "\r\n";
    }
    return text;
}
