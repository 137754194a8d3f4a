#include "platform/Fields.h"

QString Fields::Get(const QString& text, qint32 n, QChar sep) {
    qint32 seen = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != sep) continue;
        if (++seen == n) return text.mid(start, i - start);
        start = i + 1;
    }
    return text.mid(start);
}
