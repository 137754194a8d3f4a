#include "controls/LimitedTextBox.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

LimitedTextBox::LimitedTextBox(QWidget* parent, int maxLength)
    : QPlainTextEdit(parent), maxLength_(maxLength) {
    setTabChangesFocus(true);
    // The change is noted while the document is in the middle of it and capped once it is done.
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        pendingPosition_ = position;
        pendingAdded_ = added;
    });
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        const int added = std::exchange(pendingAdded_, 0);
        capInsertion(pendingPosition_, added);
    });
}

QString LimitedTextBox::Text() const {
    return toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

int LimitedTextBox::Length() const {
    // Every block but the last ends in a line break, which is two characters in Text().
    const QTextDocument* doc = document();
    return doc->characterCount() - 1 + (doc->blockCount() - 1);
}

void LimitedTextBox::SetText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    settingByCode_ = true;
    setPlainText(plain);
    settingByCode_ = false;
    lastLength_ = Length();
}

void LimitedTextBox::capInsertion(int position, int added) {
    const int length = Length();
    if (settingByCode_ || added <= 0 || length <= maxLength_ || length <= lastLength_) {
        lastLength_ = length;
        return;
    }
    // Take back the end of what was just inserted, which ends where the cursor stands now, until
    // the text fits again (or is no longer than before, for a text set longer by code).
    int excess = length - qMax(maxLength_, lastLength_);
    QTextCursor c(document());
    const int end = qMin(textCursor().position(), position + added);
    int start = end;
    while (excess > 0 && start > position) {
        --start;
        excess -= document()->characterAt(start) == QChar::ParagraphSeparator ? 2 : 1;
    }
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    settingByCode_ = true; // the removal itself is no insertion to cap
    c.removeSelectedText();
    settingByCode_ = false;
    lastLength_ = Length();
}
