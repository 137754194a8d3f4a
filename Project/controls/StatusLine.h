#pragma once
// A one-line status label whose text is always the whole status. Where the line is too short
// for it, its end gives way to an ellipsis; a status may name an end of its own that stays whole
// (what someone is doing), and then the part before it gives way from its start instead (the
// time, then the name), so that the news itself is never what is lost.
#include <QLabel>

class StatusLine : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // Shows `text`, whose last `kept` characters stay whole where the line is short (0: none).
    void SetStatus(const QString& text, int kept = 0);
    // The text as drawn at the line's present width.
    QString Shown() const;

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    int kept_ = 0;
};
