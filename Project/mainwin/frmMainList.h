#pragma once
// The main window's hand-drawn user list (`picList`): shows the drawn buffer and reports
// the mouse to the window.
#include <QWidget>

class frmMain;

class frmMainList : public QWidget {
  public:
    explicit frmMainList(frmMain* owner);

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    frmMain* win_;
};
