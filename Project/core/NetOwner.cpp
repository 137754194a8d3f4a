#include "core/NetOwner.h"

#include "core/modAppFnc.h"
#include "core/modNetCmds.h"

#include <algorithm>

NetOwner::~NetOwner() {
    modNetCmds::OwnerGone(this);
}

void OwnerList::SetList(int i, const QString& text) {
    if (i >= 0 && i < items_.size()) items_[i] = text;
}

int OwnerList::IndexOfNoCase(const QString& text) const {
    if (!sorted_) {
        for (qsizetype i = 0; i < items_.size(); ++i)
            if (modAppFnc::SameNoCase(items_.at(i), text)) return static_cast<int>(i);
        return -1;
    }
    const auto at =
        std::lower_bound(items_.begin(), items_.end(), text, [](const QString& a, const QString& b) {
            return modAppFnc::CompareNoCase(a, b) < 0;
        });
    return at != items_.end() && modAppFnc::SameNoCase(*at, text) ? static_cast<int>(at - items_.begin())
                                                                  : -1;
}

int OwnerList::AddItem(const QString& text) {
    if (!sorted_) {
        items_.append(text);
        return static_cast<int>(items_.size() - 1);
    }
    const auto at =
        std::upper_bound(items_.begin(), items_.end(), text, [](const QString& a, const QString& b) {
            return modAppFnc::CompareNoCase(a, b) < 0;
        });
    const auto idx = at - items_.begin();
    items_.insert(idx, text);
    return static_cast<int>(idx);
}

void OwnerList::InsertItem(int i, const QString& text) {
    items_.insert(std::clamp<qsizetype>(i, 0, items_.size()), text);
}

void OwnerList::RemoveItem(int i) {
    if (i >= 0 && i < items_.size()) items_.removeAt(i);
}
