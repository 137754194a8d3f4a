#pragma once
// The body of an SMTP DATA command: every line that starts with "." gets a second one, so no line
// of the message can end the data early; the receiver takes the extra dot off again. Lines end at
// LF, as receivers split them. The state carries over from one piece to the next.
#include <QByteArray>

namespace Help {

class DotStuffer {
  public:
    QByteArray stuff(const QByteArray& piece);
    // After CR LF "." CR LF has been sent raw, the next DATA starts at a line start again.
    void reset() { atLineStart_ = true; }

  private:
    bool atLineStart_ = true;
};

} // namespace Help
