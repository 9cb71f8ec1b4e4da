// saverlist.dat, byte for byte:
//   "VT", 4-byte version (major in the top byte), then per entry
//   u16 L, Description, 0x00, FilePath, 0x00, Checked (1 byte), Reserved (i32)
// All integers little-endian; nothing follows the last entry.
#include <cstdint>

#include "app/Exception.h"
#include "catalogue/SaverList.h"
#include "diag/Version.h"

namespace {

void PutU16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void PutU32(std::string& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

uint32_t GetU32(std::string_view b) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[0])) | static_cast<uint32_t>(static_cast<uint8_t>(b[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[3])) << 24;
}

// Reads forward through a byte string. Once a read runs past the end every later read fails too,
// so callers check once.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : rest_(bytes) {}
    bool ok() const { return ok_; }

    std::string_view Take(size_t n) {
        if (!ok_ || rest_.size() < n) {
            ok_ = false;
            return {};
        }
        std::string_view part = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return part;
    }
    uint32_t U16() {
        std::string_view b = Take(2);
        return ok_ ? static_cast<uint32_t>(static_cast<uint8_t>(b[0])) |
                         static_cast<uint32_t>(static_cast<uint8_t>(b[1])) << 8
                   : 0;
    }

private:
    std::string_view rest_;
    bool ok_ = true;
};

constexpr char kMagic[] = "VT";
constexpr size_t kTailSize = 5;  // Checked + Reserved after the second separator
constexpr size_t kMaxBody = 0xFFFF;

}  // namespace

std::string TSaverList::EncodeItem(int index) const {
    const TSaverItem& item = ItemPtr(index);
    // A zero byte inside a string, or a body over 64 KiB, would make a file that reads back as
    // different entries; refuse it before anything is written.
    if (item.Description.find('\0') != std::string::npos || item.FilePath.find('\0') != std::string::npos) {
        throw EListError("Saver entry " + std::to_string(index) + " holds a zero byte");
    }
    size_t length = item.Description.size() + item.FilePath.size() + 2 + kTailSize;
    if (length > kMaxBody) throw EListError("Saver entry " + std::to_string(index) + " is too long");

    std::string out;
    out.reserve(2 + length);
    PutU16(out, static_cast<uint32_t>(length));
    out += item.Description;
    out += '\0';
    out += item.FilePath;
    out += '\0';
    out += static_cast<char>(item.Checked ? 1 : 0);
    PutU32(out, static_cast<uint32_t>(item.Reserved));
    return out;
}

void TSaverList::SaveToStream(std::string& out) const {
    out += kMagic;
    PutU32(out, kProgramVersion);
    for (int i = 0; i < Count(); ++i)
        out += EncodeItem(i);
}

bool TSaverList::DecodeItem(std::string_view body, TSaverItem& item) {
    item = TSaverItem{};
    item.Checked = false;
    size_t first = body.find('\0');
    if (first == std::string_view::npos) return true;
    item.Description = std::string(body.substr(0, first));

    std::string_view rest = body.substr(first + 1);
    size_t second = rest.find('\0');
    if (second == std::string_view::npos) return true;
    item.FilePath = std::string(rest.substr(0, second));

    std::string_view tail = rest.substr(second + 1);
    if (tail.size() < kTailSize) return false;
    item.Checked = tail[0] != 0;
    item.Reserved = static_cast<int32_t>(GetU32(tail.substr(1)));
    return true;
}

void TSaverList::LoadFromStream(std::string_view bytes) {
    ByteReader in(bytes);
    if (in.Take(2) != std::string_view(kMagic, 2)) return;
    in.Take(4);  // any writer's version is accepted
    for (;;) {
        uint32_t length = in.U16();
        if (!in.ok() || length == 0) return;
        std::string_view body = in.Take(length);
        TSaverItem item;
        if (!in.ok() || !DecodeItem(body, item)) return;
        Add(item);
    }
}
