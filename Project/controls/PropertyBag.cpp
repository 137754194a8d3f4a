#include "controls/PropertyBag.h"

QVariant PropertyBag::ReadProperty(const QString& key, const QVariant& fallback) const {
    for (const auto& [k, v] : entries_)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return v;
    return fallback;
}

void PropertyBag::WriteProperty(const QString& key, const QVariant& value) {
    for (auto& [k, v] : entries_) {
        if (k.compare(key, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    }
    entries_.emplace_back(key, value);
}

bool PropertyBag::Contains(const QString& key) const {
    for (const auto& e : entries_)
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}
