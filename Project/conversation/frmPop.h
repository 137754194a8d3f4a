#pragma once
// The pop-up of one received alert: the text in the sender's colour and font, sized to the
// text within the work area, with copy, reply, three quick replies and block. The caption is
// the sender, and every action takes the sender from it. A new window for every alert.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <array>

class QAction;
class QMenu;
class QTextEdit;
class OuterGeometry;
class chameleonButton;

class frmPop : public QWidget {
    Q_OBJECT
  public:
    // Outer sizes in twips.
    static constexpr int kMinWidth = 2000, kMinHeight = 1500;
    static constexpr int kLabelExtraWidth = 100, kLabelExtraHeight = 500;
    static constexpr int kStripHeightPx = 27;

    explicit frmPop(QWidget* parent = nullptr);

    void SetLang();
    // Shows the text and sizes the window to it.
    void SetMsg(const QString& text);
    // The text as received.
    QString Msg() const { return msg_; }

    // The outer size for a label of `label` twips over a strip `strip` twips high: 100 wider
    // and 500 plus the strip taller than the label, at least kMinWidth x kMinHeight, and never
    // larger than the work area `work` (ignored when empty).
    static QSize OuterSizeTwips(QSize textSize, int strip, QSize work);
    // Where the frame's top-left goes for the corner `altPos` (0 top left, 1 top right, 2 bottom
    // left, 3 bottom right) of the work area `work`, all in twips; any other value keeps `laidOut`.
    static QPoint CornerTwips(int altPos, const QRect& work, QSize outer, QPoint laidOut);

    OuterGeometry* Outer() const { return outer_; }

    void cmdClose_Click();
    void cmdMnu_Click();
    void mnuPopCopy_Click();
    void mnuPopReply_Click();
    void cmdAQR_Click(int index);
    void mnuPopBlock_Click();

    QTextEdit* lblMsg = nullptr;
    QWidget* picBtn = nullptr;
    chameleonButton* cmdMnu = nullptr;
    std::array<chameleonButton*, 3> cmdAQR{};
    chameleonButton* cmdClose = nullptr;
    QMenu* mnuPop = nullptr;
    QAction* mnuPopCopy = nullptr;
    QAction* mnuPopReply = nullptr;
    QAction* mnuPopBlock = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void Form_Resize();
    // The sender, as a user list of one.
    QString senderList() const;

    OuterGeometry* outer_ = nullptr;
    QString msg_;
};
