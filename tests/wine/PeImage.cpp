#include "tests/wine/PeImage.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr DWORD kAlignment = 0x200, kSectionAlignment = 0x1000, kResourceRva = 0x1000;

template <class T>
void Put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The .rsrc section: RT_STRING -> block 1 (strings 0 to 15) -> one language -> one data entry.
std::string ResourceSection(const std::optional<std::string>& description) {
    std::string block;
    for (int id = 0; id < 16; ++id) {
        const std::string text = id == 1 && description ? *description : id == 2 && !description ? "not one" : "";
        Put(block, static_cast<WORD>(text.size()));
        for (char c : text)
            Put(block, static_cast<WORD>(static_cast<unsigned char>(c)));
    }
    std::string out;
    // Each level one entry; the high bit of its target marks a subdirectory.
    const DWORD levels[][2] = {{6, 24 | 0x80000000u}, {1, 48 | 0x80000000u}, {0x409, 72}};
    for (const auto& entry : levels) {
        IMAGE_RESOURCE_DIRECTORY directory = {};
        directory.NumberOfIdEntries = 1;
        Put(out, directory);
        Put(out, entry[0]);
        Put(out, entry[1]);
    }
    Put(out, IMAGE_RESOURCE_DATA_ENTRY{kResourceRva + 88, static_cast<DWORD>(block.size()), 0, 0});
    return out + block;
}

template <class OptionalHeader>
std::string Image(WORD machine, WORD flags, ULONGLONG imageBase, const std::string& resources) {
    const DWORD rawSize = static_cast<DWORD>((resources.size() + kAlignment - 1) / kAlignment * kAlignment);
    IMAGE_DOS_HEADER dos = {};
    dos.e_magic = IMAGE_DOS_SIGNATURE;
    dos.e_lfanew = sizeof dos;
    const IMAGE_FILE_HEADER file = {machine,
                                    1,
                                    0,
                                    0,
                                    0,
                                    sizeof(OptionalHeader),
                                    static_cast<WORD>(IMAGE_FILE_DLL | IMAGE_FILE_EXECUTABLE_IMAGE | flags)};
    OptionalHeader optional = {};
    optional.Magic = sizeof(OptionalHeader) == sizeof(IMAGE_OPTIONAL_HEADER64) ? 0x20B : 0x10B;
    // With a size of code, loaders treat a 32-bit image as foreign to a 64-bit process, like a real program.
    optional.SizeOfCode = optional.SizeOfInitializedData = rawSize;
    optional.BaseOfCode = kResourceRva;
    optional.ImageBase = static_cast<decltype(optional.ImageBase)>(imageBase);
    optional.SectionAlignment = kSectionAlignment;
    optional.FileAlignment = optional.SizeOfHeaders = kAlignment;
    optional.SizeOfImage = kResourceRva + (rawSize + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment;
    optional.Subsystem = IMAGE_SUBSYSTEM_WINDOWS_GUI;
    optional.NumberOfRvaAndSizes = IMAGE_NUMBEROF_DIRECTORY_ENTRIES;
    optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE] = {kResourceRva, static_cast<DWORD>(resources.size())};
    IMAGE_SECTION_HEADER section = {};
    std::memcpy(section.Name, ".rsrc", 5);
    section.Misc.VirtualSize = static_cast<DWORD>(resources.size());
    section.VirtualAddress = kResourceRva;
    section.SizeOfRawData = rawSize;
    section.PointerToRawData = kAlignment;
    section.Characteristics =
        IMAGE_SCN_CNT_CODE | IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_MEM_READ;

    std::string out;
    Put(out, dos);
    Put(out, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
    Put(out, file);
    Put(out, optional);
    Put(out, section);
    out.resize(kAlignment, '\0');
    out += resources;
    out.resize(kAlignment + rawSize, '\0');
    return out;
}

}  // namespace

std::string MakeResourceImage(PeKind kind, const std::optional<std::string>& description) {
    const std::string resources = ResourceSection(description);
    if (kind == PeKind::Pe32) {
        return Image<IMAGE_OPTIONAL_HEADER32>(IMAGE_FILE_MACHINE_I386, IMAGE_FILE_32BIT_MACHINE, 0x10000000u,
                                              resources);
    }
    return Image<IMAGE_OPTIONAL_HEADER64>(IMAGE_FILE_MACHINE_AMD64, IMAGE_FILE_LARGE_ADDRESS_AWARE, 0x180000000ull,
                                          resources);
}
