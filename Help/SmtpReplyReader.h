#pragma once
// Splits what an SMTP server sends into whole replies, however the bytes were cut into reads.
// A reply is one or more lines ending in CR LF, each starting with the same three-digit code; a
// "-" after the code means more lines follow. The server is not trusted: lines and replies are
// bounded, and anything else than a well-formed reply poisons the reader for good.
#include <QByteArray>
#include <QtGlobal>

namespace Help {

class SmtpReplyReader {
  public:
    // Longest line, CR LF included, and longest reply a server may send.
    static constexpr qsizetype kMaxLine = 1000;
    static constexpr qsizetype kMaxReply = 64 * 1024;

    enum class Result { Incomplete, Reply, Error };

    void feed(const QByteArray& bytes);
    // The next whole reply: its code (100..599 as sent, any three digits) and its lines without
    // their CR LF ends. Incomplete until more bytes come; Error from the first fault on.
    Result next(int& code, QByteArray& text);
    bool failed() const { return failed_; }
    // What waits unread (bytes of a reply still to come, or of later replies).
    qsizetype pending() const { return buffer_.size() - start_; }

  private:
    QByteArray buffer_;
    qsizetype start_ = 0; // the first byte of the reply being read
    bool failed_ = false;
};

} // namespace Help
