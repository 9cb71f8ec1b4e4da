// Any bytes must load without a fault, and whatever loads must save and load back to the same list.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/SaverList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TSaverList first;
    first.LoadFromStream(std::string_view(reinterpret_cast<const char*>(data), size));

    std::string saved;
    first.SaveToStream(saved);
    TSaverList second;
    second.LoadFromStream(saved);
    if (second.Count() != first.Count()) abort();
    for (int i = 0; i < first.Count(); ++i) {
        const TSaverItem& a = first.ItemPtr(i);
        const TSaverItem& b = second.ItemPtr(i);
        if (a.Description != b.Description || a.FilePath != b.FilePath || a.Checked != b.Checked ||
            a.Reserved != b.Reserved) {
            abort();
        }
    }
    return 0;
}
