#include "controls/SendBox.h"

#include "core/modAppFnc.h"
#include "core/modCommonDialog.h"
#include "core/modDB.h"
#include "core/modGlobals.h"
#include "platform/Ansi.h"
#include "platform/Colors.h"
#include "platform/LineBreak.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>

namespace {
// The box holds "\n" for a line break; what is sent holds CR LF.
QString toBox(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    t.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    return t;
}
int sentLength(QStringView boxText) {
    return static_cast<int>(boxText.size() + boxText.count(QLatin1Char('\n')));
}
QString selectedBoxText(const QTextCursor& c) {
    return toBox(c.selectedText());
}
} // namespace

SendBox::SendBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

QString SendBox::Clean(const QString& text) {
    QString t = text;
    for (QChar& c : t)
        if (c == modGlobals::kSep || c == QChar(0)) c = QLatin1Char(' ');
    return t;
}

QString SendBox::Text() const {
    QString t = toPlainText();
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return t;
}

void SendBox::SetText(const QString& text) {
    selectAll();
    if (text.isEmpty()) {
        textCursor().removeSelectedText();
        return;
    }
    SetSelText(text);
}

int SendBox::TextLength() const {
    return sentLength(toPlainText());
}

int SendBox::SetSelText(const QString& text) {
    QTextCursor c = textCursor();
    const int room = maxLength_ - (TextLength() - sentLength(selectedBoxText(c)));
    QString in = Clean(toBox(text));
    // Cut to what fits; a line break that would only half fit is left out.
    int used = 0;
    qsizetype keep = 0;
    for (; keep < in.size(); ++keep) {
        const int cost = in.at(keep) == QLatin1Char('\n') ? 2 : 1;
        if (used + cost > room) break;
        used += cost;
    }
    // A surrogate pair is never split.
    if (keep > 0 && keep < in.size() && in.at(keep - 1).isHighSurrogate()) {
        --keep;
        --used;
    }
    in.truncate(keep);
    if (in.isEmpty() && !c.hasSelection()) return 0;
    c.insertText(in);
    setTextCursor(c);
    return used;
}

void SendBox::Copy() {
    const QString sel = textCursor().selectedText();
    if (sel.isEmpty()) return;
    QApplication::clipboard()->setText(toBox(sel));
}

void SendBox::Cut() {
    if (textCursor().selectedText().isEmpty()) return;
    Copy();
    QTextCursor c = textCursor();
    c.removeSelectedText();
    setTextCursor(c);
}

void SendBox::Paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data && data->hasText()) SetSelText(data->text());
}

void SendBox::SelectAll() {
    selectAll();
}

bool SendBox::ReadMergeIn(const QString& path, QString& text, QString& error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("No such file or directory");
        return false;
    }
    if (!info.isFile()) {
        error = QStringLiteral("Not a regular file");
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    const QByteArray bytes = f.read(kMergeInLimit);
    if (f.error() != QFileDevice::NoError) {
        error = f.errorString();
        return false;
    }
    const bool cut = !f.atEnd();
    // Each line followed by CR LF, as the whole-file reader gives it.
    text = modAppFnc::TextLines(Ansi::decodeText(bytes, cut));
    return true;
}

QString SendBox::MergeIn(const QString& filter, const QString& title, const QString& lastPath) {
    QPointer<SendBox> self(this);
    const QString path = modCommonDialog::ShowOpen(window(), filter, title, lastPath);
    if (!self || path.isEmpty()) return path;
    QString text, error;
    if (!ReadMergeIn(path, text, error)) {
        modAppFnc::ShowMsg(QStringLiteral("Unable to read the file ") + path + LineBreak::kCrLf +
                               LineBreak::kCrLf + error,
                           0, 5);
        return path;
    }
    SetSelText(text);
    return path;
}

namespace {
// The keys are shown beside the captions; the box's own keys do the work.
const char* const kEditKeys[4] = {"\tCtrl+X", "\tCtrl+C", "\tCtrl+V", "\tCtrl+A"};
const char* const kEditCaptions[4] = {"Cu&t", "&Copy", "&Past", "Select &All"};
const char* const kEditLangKeys[4] = {"mnuEditCut", "mnuEditCopy", "mnuEditPast", "mnuEditSelAll"};
} // namespace

SendBox::EditItems SendBox::BuildEditMenu(QMenu* menu, SendBox* box) {
    EditItems items;
    QAction** all[4] = {&items.cut, &items.copy, &items.paste, &items.selectAll};
    for (int i = 0; i < 4; ++i) {
        if (i == 3) menu->addSeparator();
        *all[i] = menu->addAction(QString::fromLatin1(kEditCaptions[i]) + QString::fromLatin1(kEditKeys[i]));
    }
    QObject::connect(items.cut, &QAction::triggered, box, &SendBox::Cut);
    QObject::connect(items.copy, &QAction::triggered, box, &SendBox::Copy);
    QObject::connect(items.paste, &QAction::triggered, box, &SendBox::Paste);
    QObject::connect(items.selectAll, &QAction::triggered, box, &SendBox::SelectAll);
    return items;
}

void SendBox::SetEditLang(const EditItems& items) {
    if (!modDB::DBLoaded()) return;
    QAction* all[4] = {items.cut, items.copy, items.paste, items.selectAll};
    for (int i = 0; i < 4; ++i)
        if (all[i])
            all[i]->setText(modDB::Captions::Shared(kEditLangKeys[i]) + QString::fromLatin1(kEditKeys[i]));
}

int SendBox::AutoTextIndex(const QKeyEvent* e) {
    if (!e || e->modifiers() != Qt::ControlModifier) return -1;
    const int k = e->key();
    if (k < Qt::Key_0 || k > Qt::Key_9) return -1;
    return k == Qt::Key_0 ? 9 : k - Qt::Key_1;
}

void SendBox::BuildAutoText(QMenu* menu, SendBox* box) {
    menu->clear();
    const auto& cat = modGlobals::Sets().CAT;
    for (int i = 0; i < 10; ++i) {
        const QString k = QString::number(i < 9 ? i + 1 : 0);
        QString caption = cat[i];
        caption.replace(QLatin1Char('&'), QLatin1String("&&")); // the text is shown, never an access key
        QAction* a = menu->addAction(QStringLiteral("&") + k + QStringLiteral(". ") + caption +
                                     QStringLiteral("\tCtrl+") + k);
        a->setData(cat[i]);
        QObject::connect(a, &QAction::triggered, box, [box, a] { box->SetSelText(a->data().toString()); });
    }
}

void SendBox::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        if (e->modifiers() & Qt::ControlModifier)
            SetSelText(QStringLiteral("\n"));
        else
            emit SendRequested();
        return;
    }
    // Ctrl+digits are the window's AutoText keys.
    if (AutoTextIndex(e) >= 0) {
        e->ignore();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        Paste();
        return;
    }
    const QString typed = e->text();
    const Qt::KeyboardModifiers mods = e->modifiers();
    // Ctrl with Alt is AltGr on many layouts, which types characters.
    const bool ctrlOnly = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    const bool altOnly = (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier);
    if (!typed.isEmpty() && (typed.at(0).isPrint() || typed.at(0) == modGlobals::kSep) && !ctrlOnly &&
        !altOnly) {
        SetSelText(typed);
        return;
    }
    if (ctrlOnly && !typed.isEmpty()) {
        // The box's own Ctrl keys (copy, undo, ...) still act, but Ctrl never types text.
        QKeyEvent bare(e->type(), e->key(), mods, e->nativeScanCode(), e->nativeVirtualKey(),
                       e->nativeModifiers(), QString(), e->isAutoRepeat(), e->count());
        QPlainTextEdit::keyPressEvent(&bare);
        e->setAccepted(bare.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void SendBox::inputMethodEvent(QInputMethodEvent* e) {
    if (e->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(e);
        return;
    }
    const QString commit = e->commitString();
    QInputMethodEvent rest(e->preeditString(), e->attributes());
    QPlainTextEdit::inputMethodEvent(&rest);
    SetSelText(commit);
}

bool SendBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

void SendBox::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText()) SetSelText(source->text());
}

QMimeData* SendBox::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(toBox(textCursor().selectedText()));
    return data;
}

void SendBox::UseOwnLook() {
    const auto& s = modGlobals::Sets();
    QFont f = font();
    f.setFamily(s.UFNT);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Text, Colors::fromBgr(static_cast<quint32>(s.UCOL) & 0xFFFFFFu));
    setPalette(pal);
}
