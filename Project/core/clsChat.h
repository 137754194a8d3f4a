#pragma once
// The one transport object of the program: owns the local mailslot, writes datagrams to the
// slot of the same name on every computer, and drains its own slot when asked.
#include "platform/Mailslot.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

// What one drain of the slot found: the distinct datagrams that were waiting, in arrival order,
// each with where it came from. Kept by its reader and filled again by every drain, so that its
// storage is reused.
class DatagramBatch {
  public:
    qsizetype count() const { return qsizetype(items_.size()); }
    QByteArrayView bytes(qsizetype i) const { return {bytes_.data() + items_[i].at, items_[i].size}; }
    const DatagramSource& source(qsizetype i) const { return items_[i].from; }

  private:
    friend class clsChat;
    struct Item {
        qsizetype at = 0, size = 0;
        DatagramSource from;
    };
    void clear();
    void add(const char* data, qsizetype size, const DatagramSource& from);
    // Leaves the first of each set of datagrams with equal bytes from one source: the same
    // bytes from elsewhere are another datagram, which must not hide this one.
    void dropDuplicates();
    bool same(qsizetype a, qsizetype b) const;

    std::vector<char> bytes_;
    std::vector<Item> items_;
    std::vector<std::pair<size_t, qsizetype>> byHash_;
    std::vector<char> dup_;
};

class clsChat {
  public:
    clsChat() = default;
    ~clsChat() { CloseHnd(); }
    clsChat(const clsChat&) = delete;
    clsChat& operator=(const clsChat&) = delete;

    // Opens the local slot. False when that fails: GetError() is then 1 and ErrorText() says why.
    bool Init(const QString& sMail);
    // Bytes: PopFrom, one NUL, MsgText, in Windows-1252, with no terminator. False when the
    // datagram could not be sent, with the system's reason in `why` where one is given.
    bool SendMessage(const QString& PopFrom, const QString& PopTo, const QString& MsgText,
                     QString* why = nullptr);
    // The distinct datagrams waiting now, in arrival order; never blocks.
    QStringList GetMessages();
    // The same as bytes with their sources, into `into`; returns how many.
    qsizetype Receive(DatagramBatch& into);
    void CloseHnd();
    qint16 GetError() const { return error_; }
    const QString& ErrorText() const { return slot_.errorText(); }
    int Handle() const { return slot_.handle(); }

  private:
    QString name_;
    Mailslot slot_;
    qint16 error_ = 0;
    std::unique_ptr<char[]> scratch_; // where the system puts what one read takes
    DatagramBatch batch_;             // GetMessages' own
};
