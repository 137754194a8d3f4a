#pragma once
// The chat transcript: a read-only rich-text box driven the way the chat window drives it,
// through a selection of its own (the user's selection is left alone). Indents and widths
// are pixels. Text from the network only ever goes in as plain text.
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

class QTextDocument;

class RichTextBox : public QTextEdit {
    Q_OBJECT
  public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // The text, paragraphs joined by CR LF (so a transcript whose last line ended with CR LF
    // ends with one); a picture reads as the code it replaced.
    QString Text() const;
    // Empties the transcript (the only text the window ever writes).
    void ClearText();
    // The whole transcript as rich text: font and colour tables, indents and tab stops in
    // twips, pictures as PNG.
    QString TextRTF() const;
    // SelStart := Len(Text): the caret to the end, scrolled into view.
    void SelToEnd();
    // Inserts at the selection, as plain text, in the selection's font and colour; CR LF,
    // CR and LF each end a paragraph.
    void SetSelText(const QString& text);
    // 0x00BBGGRR.
    void SetSelColor(quint32 colour);
    void SetSelFontName(const QString& name);
    // The selection's paragraph: first line at `indent`, later lines at indent + hanging, and
    // a tab stop there when `hanging` is above 0.
    void SetSelIndent(double indent);
    void SetSelHangingIndent(double hanging);

    // The picture pass: every chat picture code in the paragraphs not yet scanned becomes its
    // picture, formats kept. The last paragraph stays unscanned, since lines are added to it.
    void InsertPictures();

    // The rich text of any document laid out by this box.
    static QString ToRtf(const QTextDocument* doc);

    // The selection's paragraph indents, as set (tests and export read them).
    static double BlockIndent(const QTextBlock& block);
    static double BlockHanging(const QTextBlock& block);

  private:
    void applyIndents();

    QTextCursor sel_;
    QTextCharFormat fmt_;
    int firstUnscanned_ = 0;
};
