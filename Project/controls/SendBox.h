#pragma once
// The send box of the chat and alert compose windows: plain text only, at most MaxLength
// characters counting each line break as two (it goes out as CR LF), and no character that
// could shift another copy's fields (U+0001, NUL) on any way in: typing, paste, drop,
// merge-in or AutoText. Enter asks the window to send; Ctrl+Enter breaks the line.
#include <QPlainTextEdit>
#include <QString>

class QAction;
class QKeyEvent;
class QMenu;

class SendBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    // The longest text any box of the program sends or keeps (alerts, chat lines, the speed
    // bar's alert, quick replies, soft-button texts), counted as MaxLength counts.
    static constexpr int kMaxLength = 390;
    // A merged-in file is read up to this many bytes.
    static constexpr qint64 kMergeInLimit = 64 * 1024;

    explicit SendBox(QWidget* parent = nullptr);

    // The text as it is sent: line breaks as CR LF.
    QString Text() const;
    void SetText(const QString& text);
    // Length of Text().
    int TextLength() const;
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length) { maxLength_ = length; }
    // Writes in the user's own font and colour (UFNT, UCOL): how others will see the text.
    void UseOwnLook();
    // Replaces the selection with as much of `text` as fits, separators made blanks; returns
    // how many characters went in (a line break counting as two).
    int SetSelText(const QString& text);

    // The edit menu's commands.
    void Copy();
    void Cut();
    void Paste();
    void SelectAll();

    // Reads a text file to merge in: at most kMergeInLimit bytes of a regular file, as UTF-8
    // when it is valid UTF-8, else as Windows-1252. False with the system's reason otherwise.
    static bool ReadMergeIn(const QString& path, QString& text, QString& error);
    // Blanks in place of U+0001 and NUL.
    static QString Clean(const QString& text);

    // Merge-in as a window offers it: the open dialog (starting at `lastPath`), then the file in
    // place of the selection; a file that cannot be read is reported with its path and the
    // system's reason, and nothing changes. Returns the dialog's answer ("" when cancelled),
    // which the window keeps as its next `lastPath`.
    QString MergeIn(const QString& filter, const QString& title, const QString& lastPath);

    // The edit menu's items on the send box, shared by the windows that have one. The captions
    // come from the language table when one is loaded (keys "mnuEditCut" ...).
    struct EditItems {
        QAction* cut = nullptr;
        QAction* copy = nullptr;
        QAction* paste = nullptr;
        QAction* selectAll = nullptr;
    };
    static EditItems BuildEditMenu(QMenu* menu, SendBox* box);
    static void SetEditLang(const EditItems& items);

    // The AutoText item a key stands for: Ctrl+1..Ctrl+9 give 0..8 and Ctrl+0 gives 9, with
    // exactly Ctrl held and a digit of the main keyboard; -1 for any other key.
    static int AutoTextIndex(const QKeyEvent* e);
    // The "&Auto Text" items 0..9 of `menu` from the settings' texts; a click inserts the text.
    static void BuildAutoText(QMenu* menu, SendBox* box);

  signals:
    // Enter or Shift+Enter.
    void SendRequested();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

  private:
    int maxLength_ = kMaxLength;
};
