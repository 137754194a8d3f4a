#pragma once
// Base64 as MIME writes it (the standard alphabet, "=" padding, lines of a fixed length), and
// the way back. Long inputs let pending events run now and then, so the window stays alive
// while an attachment is encoded; callers must allow for handlers running meanwhile.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace Help {

class Base64 {
  public:
    // How many input bytes pass between two turns of the event loop.
    static constexpr qsizetype kYieldEvery = 64 * 1024;

    Base64();

    // Empty in, empty out.
    void EncodeB64(const QByteArray& FileIn, QByteArray& Out) const;
    // The text as Windows-1252 bytes.
    void Str2ByteArray(const QString& StringIn, QByteArray& ByteArray) const;
    // Breaks the bytes into lines of `CharsPerLine`, each full line followed by CR LF (so an exact
    // multiple ends in CR LF, a shorter last line in nothing). False, with `OutArray` empty, for
    // a line length below 1.
    bool Span(qint32 CharsPerLine, const QByteArray& InArray, QByteArray& OutArray) const;
    // Base64 text without line breaks to bytes. False, with `Out` empty, for a length that is not
    // a multiple of 4, a character code above 233, or an "=" anywhere but the last one or two
    // places. Other characters outside the alphabet decode as they come.
    bool DecodeB64(const QByteArray& FileIn, QByteArray& Out) const;
    // Drops every CR LF pair.
    void Unspan(const QByteArray& ArrayIn, QByteArray& ArrayOut) const;

    // The decode table: 0..63 for the alphabet, 64 for "=", 255 for anything else.
    quint8 DecodeValue(int code) const;

  private:
    char encode_[64];
    quint8 decode_[234];
};

} // namespace Help
