#pragma once
// The saved properties of a control in a window design: values under string keys, kept in
// the order they were written. Looking a key up ignores letter case.
#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

class PropertyBag {
  public:
    // The stored value, or `fallback` when the key is absent.
    QVariant ReadProperty(const QString& key, const QVariant& fallback) const;
    // Stores the value, replacing one under the same key (in any letter case).
    void WriteProperty(const QString& key, const QVariant& value);
    bool Contains(const QString& key) const;
    const std::vector<std::pair<QString, QVariant>>& Entries() const { return entries_; }

  private:
    std::vector<std::pair<QString, QVariant>> entries_;
};
