#pragma once
// A label for text that may come from others: always plain text, wrapped at its width (long
// words broken anywhere), selectable by mouse but never focused (keys belong to the window),
// on its parent's background, and scrollable when the window cannot grow any further.
#include <QTextEdit>

class TextLabel : public QTextEdit {
    Q_OBJECT
  public:
    explicit TextLabel(QWidget* parent = nullptr);
};
