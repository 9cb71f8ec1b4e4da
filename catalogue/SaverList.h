// One catalogued screensaver and the list that holds the catalogue, in the order the settings
// window shows it. A saver index is a 0-based index into this list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TSaverItem {
    bool Checked = true;   // ticked: takes part in the rotation
    int32_t Reserved = 0;  // carried through the list file untouched
    std::string Description;
    std::string FilePath;
};

// A new entry: ticked, Reserved 0.
TSaverItem MakeSaverItem(std::string description, std::string filePath);

class TSaverList {
public:
    int Count() const { return static_cast<int>(items_.size()); }

    // Direct access to the stored record. A bad index throws EListError.
    TSaverItem& ItemPtr(int index);
    const TSaverItem& ItemPtr(int index) const;
    // A copy of the record. A bad index throws EListError.
    TSaverItem GetItem(int index) const;

    int Add(const TSaverItem& item);
    // Inserts before `index`; index == Count appends; any other out-of-range index is ignored.
    void Insert(int index, const TSaverItem& item);
    // A bad index throws EListError "List index exceeds bounds (index)".
    void Delete(int index);
    void Clear() { items_.clear(); }

    // The list file: a 6-byte header, then one length-prefixed record per entry.
    void SaveToStream(std::string& out) const;
    // Appends the entries of `bytes`; stops quietly at a wrong magic, a zero length or a cut.
    void LoadFromStream(std::string_view bytes);
    // The record at `index` with its 2-byte length in front.
    std::string EncodeItem(int index) const;
    // False when the body is too short after its second separator.
    static bool DecodeItem(std::string_view body, TSaverItem& item);

    // Replaces `name` only once the new contents are complete on disk. Throws EFCreateError.
    void SaveToFile(const std::string& name) const;
    // Opens with two retries (100 ms, 500 ms), then throws EFOpenError.
    void LoadFromFile(const std::string& name);

private:
    void CheckIndex(int index) const;
    std::vector<TSaverItem> items_;
};
