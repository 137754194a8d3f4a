#pragma once
// A multi-line text box whose text is read and written with CR LF line ends, as the settings
// and the wire carry it, and which typing and pasting cannot grow past a length counted in that
// form (a line break counts two). Text set by code is never cut, only not grown by the user.
#include <QPlainTextEdit>

class LimitedTextBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit LimitedTextBox(QWidget* parent, int maxLength);

    // The text with every line break as CR LF.
    QString Text() const;
    // CR LF, LF and CR all break a line.
    void SetText(const QString& text);
    int MaxLength() const { return maxLength_; }
    // The length of Text().
    int Length() const;

  private:
    void capInsertion(int position, int added);

    int maxLength_;
    int lastLength_ = 0;
    bool settingByCode_ = false;
    int pendingPosition_ = 0;
    int pendingAdded_ = 0;
};
