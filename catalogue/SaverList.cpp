#include "catalogue/SaverList.h"

#include <utility>

#include "app/Exception.h"

TSaverItem MakeSaverItem(std::string description, std::string filePath) {
    TSaverItem item;
    item.Description = std::move(description);
    item.FilePath = std::move(filePath);
    return item;
}

void TSaverList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TSaverItem& TSaverList::ItemPtr(int index) {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
}

const TSaverItem& TSaverList::ItemPtr(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
}

TSaverItem TSaverList::GetItem(int index) const { return ItemPtr(index); }

int TSaverList::Add(const TSaverItem& item) {
    items_.push_back(item);
    return Count() - 1;
}

void TSaverList::Insert(int index, const TSaverItem& item) {
    if (index < 0 || index > Count()) return;
    items_.insert(items_.begin() + index, item);
}

void TSaverList::Delete(int index) {
    if (index < 0 || index >= Count()) {
        throw EListError("List index exceeds bounds (" + std::to_string(index) + ")");
    }
    items_.erase(items_.begin() + index);
}
