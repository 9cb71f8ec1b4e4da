#include "tests/wine/PeImage.h"

#include <cstdint>

namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kResourceRva = 0x1000;

class Bytes {
public:
    void U8(uint8_t v) { data_.push_back(static_cast<char>(v)); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    void Text(const char* text, size_t size) { data_.append(text, size); }
    void PadTo(size_t size) { data_.resize(size, '\0'); }
    size_t Size() const { return data_.size(); }
    std::string& Data() { return data_; }

private:
    std::string data_;
};

uint32_t AlignUp(uint32_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

// One resource directory with a single id entry pointing at `target` (a subdirectory when `isDirectory`).
void Directory(Bytes& out, uint16_t id, uint32_t target, bool isDirectory) {
    out.U32(0);  // characteristics
    out.U32(0);  // time stamp
    out.U32(0);  // version
    out.U16(0);  // named entries
    out.U16(1);  // id entries
    out.U16(id);
    out.U16(0);
    out.U32(isDirectory ? (target | 0x80000000u) : target);
}

// The .rsrc section: RT_STRING, block 1 (strings 0 to 15), one language, one data entry.
std::string ResourceSection(const std::optional<std::string>& description) {
    Bytes block;
    for (int id = 0; id < 16; ++id) {
        std::string text;
        if (id == 1 && description) text = *description;
        if (id == 2 && !description) text = "not a description";
        block.U16(static_cast<uint16_t>(text.size()));
        for (char c : text)
            block.U16(static_cast<uint8_t>(c));
    }
    Bytes out;
    Directory(out, 6, 24, true);       // RT_STRING
    Directory(out, 1, 48, true);       // string block 1
    Directory(out, 0x409, 72, false);  // language -> data entry
    out.U32(kResourceRva + 88);
    out.U32(static_cast<uint32_t>(block.Size()));
    out.U32(0);  // code page
    out.U32(0);
    out.Text(block.Data().data(), block.Size());
    return out.Data();
}

}  // namespace

std::string MakeResourceImage(PeKind kind, const std::optional<std::string>& description) {
    const bool plus = kind == PeKind::Pe32Plus;
    const std::string resources = ResourceSection(description);
    const auto rawSize = AlignUp(static_cast<uint32_t>(resources.size()), kFileAlignment);
    const auto imageSize = kResourceRva + AlignUp(static_cast<uint32_t>(resources.size()), kSectionAlignment);

    Bytes out;
    out.Text("MZ", 2);
    out.PadTo(0x3C);
    out.U32(0x40);  // e_lfanew
    out.Text("PE\0\0", 4);
    out.U16(plus ? 0x8664 : 0x014C);                                    // machine
    out.U16(1);                                                         // sections
    out.U32(0);                                                         // time stamp
    out.U32(0);                                                         // symbol table
    out.U32(0);                                                         // symbols
    out.U16(plus ? 240 : 224);                                          // optional header size
    out.U16(static_cast<uint16_t>(0x2002 | (plus ? 0x0020 : 0x0100)));  // DLL, executable image

    out.U16(plus ? 0x20B : 0x10B);
    out.U8(1);  // linker version
    out.U8(0);
    out.U32(rawSize);  // size of code: loaders treat 32-bit images with code as foreign to 64-bit processes
    out.U32(rawSize);
    out.U32(0);
    out.U32(0);             // entry point: none
    out.U32(kResourceRva);  // base of code
    if (plus) {
        out.U64(0x180000000ull);
    } else {
        out.U32(0);  // base of data
        out.U32(0x10000000u);
    }
    out.U32(kSectionAlignment);
    out.U32(kFileAlignment);
    out.U16(5);  // OS version
    out.U16(1);
    out.U16(0);  // image version
    out.U16(0);
    out.U16(5);  // subsystem version
    out.U16(1);
    out.U32(0);
    out.U32(imageSize);
    out.U32(kFileAlignment);  // size of headers
    out.U32(0);               // checksum
    out.U16(2);               // GUI subsystem
    out.U16(0);               // DLL characteristics
    for (int i = 0; i < 4; ++i)
        plus ? out.U64(0x100000) : out.U32(0x100000);  // stack and heap sizes
    out.U32(0);                                        // loader flags
    out.U32(16);                                       // data directories
    for (int i = 0; i < 16; ++i) {
        out.U32(i == 2 ? kResourceRva : 0);
        out.U32(i == 2 ? static_cast<uint32_t>(resources.size()) : 0);
    }

    out.Text(".rsrc\0\0\0", 8);
    out.U32(static_cast<uint32_t>(resources.size()));
    out.U32(kResourceRva);
    out.U32(rawSize);
    out.U32(kFileAlignment);
    out.U32(0);
    out.U32(0);
    out.U16(0);
    out.U16(0);
    out.U32(0x60000060u);  // code and initialised data, executable and readable, like a real program

    out.PadTo(kFileAlignment);
    out.Text(resources.data(), resources.size());
    out.PadTo(kFileAlignment + rawSize);
    return out.Data();
}
