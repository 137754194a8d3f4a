#include "platform/ItemReader.h"
#include "platform/LineBreak.h"

std::optional<QString> ItemReader::next() {
    if (atEnd()) return std::nullopt;
    skipBlanks();
    QString item;
    if (i_ < t_.size() && t_.at(i_) == QLatin1Char('"')) {
        const qsizetype close = t_.indexOf(QLatin1Char('"'), i_ + 1);
        const qsizetype end = close < 0 ? t_.size() : close;
        item = t_.mid(i_ + 1, end - i_ - 1);
        i_ = close < 0 ? t_.size() : close + 1;
        // Whatever follows the closing quote up to the delimiter is not part of the item.
        while (i_ < t_.size() && !isDelimiter(t_.at(i_)))
            ++i_;
    } else {
        const qsizetype start = i_;
        while (i_ < t_.size() && !isDelimiter(t_.at(i_)))
            ++i_;
        item = t_.mid(start, i_ - start).trimmed();
    }
    if (i_ < t_.size() && t_.at(i_) == QLatin1Char(',')) {
        ++i_;
        // A comma at the end of a line ends the item; the line end goes with it.
        qsizetype j = i_;
        while (j < t_.size() && (t_.at(j) == QLatin1Char(' ') || t_.at(j) == QLatin1Char('\t')))
            ++j;
        if (j >= t_.size() || isLineEnd(t_.at(j))) {
            i_ = j;
            skipLineEnd();
        }
    } else {
        skipLineEnd();
    }
    return item;
}

QString ItemReader::rest() {
    QString out;
    while (i_ < t_.size()) {
        const qsizetype start = i_;
        while (i_ < t_.size() && !isLineEnd(t_.at(i_)))
            ++i_;
        out += QStringView(t_).mid(start, i_ - start);
        out += LineBreak::kCrLf;
        skipLineEnd();
    }
    return out;
}

void ItemReader::skipBlanks() {
    while (i_ < t_.size() && (t_.at(i_) == QLatin1Char(' ') || t_.at(i_) == QLatin1Char('\t')))
        ++i_;
}

void ItemReader::skipLineEnd() {
    if (i_ >= t_.size()) return;
    if (t_.at(i_) == QLatin1Char('\r')) {
        ++i_;
        if (i_ < t_.size() && t_.at(i_) == QLatin1Char('\n')) ++i_;
    } else if (t_.at(i_) == QLatin1Char('\n')) {
        ++i_;
    }
}
