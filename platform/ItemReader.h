#pragma once
// Text files read as sequential items, as the skin files and the update lists are written: an
// item ends at a comma or a line end, blanks before an item are skipped, and an item in double
// quotes may hold commas and loses its quotes. Line ends are CR LF, LF or CR.
#include <QString>
#include <optional>

class ItemReader {
  public:
    explicit ItemReader(QString text) : t_(std::move(text)) {}

    bool atEnd() const { return i_ >= t_.size(); }
    // The next item; nullopt at the end of the text. An empty line is one empty item.
    std::optional<QString> next();
    // The rest of the text, every line followed by CR LF. When the last item did not end its
    // line, the rest of that line is the first line.
    QString rest();

  private:
    static bool isLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }
    static bool isDelimiter(QChar c) { return c == QLatin1Char(',') || isLineEnd(c); }
    void skipBlanks();
    void skipLineEnd();

    QString t_;
    qsizetype i_ = 0;
};
