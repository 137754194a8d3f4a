#pragma once
// What the network layer needs of the window that owns it: two index-parallel lists of
// users and their records, and a notice after every change. A member the owner lacks is
// a null list or the empty default, and the layer silently skips it.
#include <QString>
#include <QStringList>

// A list control as the layer uses it. `sorted` lists insert at their case-folded position
// (ASCII letters folded, then ordinal), so names and their records keep the same index.
class OwnerList {
  public:
    explicit OwnerList(bool sorted = false) : sorted_(sorted) {}
    int ListCount() const { return static_cast<int>(items_.size()); }
    QString List(int i) const { return (i >= 0 && i < items_.size()) ? items_.at(i) : QString(); }
    void SetList(int i, const QString& text);
    // The index of the first item equal to `text` ignoring letter case (ASCII letters, as the
    // list sorts); -1 when there is none. A sorted list is searched by halves, so a lookup in
    // the longest list costs a dozen comparisons.
    int IndexOfNoCase(const QString& text) const;
    // Returns the index the item was put at.
    int AddItem(const QString& text);
    // Puts the item at index i (clamped), whatever the order; keeps a record beside its name.
    void InsertItem(int i, const QString& text);
    void RemoveItem(int i);
    void Clear() { items_.clear(); }
    const QStringList& items() const { return items_; }
    bool sorted() const { return sorted_; }

  private:
    QStringList items_;
    bool sorted_;
};

class NetOwner {
  public:
    // How often an owner's timer polls the layer (ms); newcomers are answered within it.
    static constexpr int kPollInterval = 200;

    virtual ~NetOwner();
    virtual OwnerList* lstUsers() { return nullptr; }
    virtual OwnerList* lstUStat() { return nullptr; }
    virtual void UListChange() {}
    // False for an owner that polls only when it chooses to (the self test's single poll);
    // otherwise the layer polls as soon as a datagram waits, besides the owner's timer.
    virtual bool PollOnArrival() const { return true; }
};
