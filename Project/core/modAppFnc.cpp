#include "core/modAppFnc.h"

#include "core/frmImgs.h"

#include "core/MessageService.h"
#include "core/modGlobals.h"
#include "core/modLangConst.h"
#include "platform/Ansi.h"
#include "platform/Fields.h"
#include "platform/Identity.h"
#include "platform/LineBreak.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTimer>
#include <QWidget>

namespace {
using LineBreak::kCrLf;

QString logStamp() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale loc = QLocale::system();
    return (loc.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
            now.time().toString(QStringLiteral("HH:mm:ss")))
        .trimmed();
}
} // namespace

namespace modAppFnc {

void WriteLog(const QString& text) {
    if (modGlobals::Run().NoLog == 1) return;
    // Appending gives the same bytes as rewriting the whole file, without the cost.
    QFile f(ProgramFolder::file(QStringLiteral("Log.txt")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    f.write(Ansi::encode(logStamp() + QStringLiteral(": ") + text + kCrLf));
}

QString ReadTextFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return TextLines(f.readAll());
}

QString TextLines(const QByteArray& bytes) {
    return TextLines(Ansi::decode(bytes));
}

QString TextLines(const QString& all) {
    QString out;
    out.reserve(all.size() + 16);
    qsizetype start = 0;
    const qsizetype n = all.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && all.at(i) != QLatin1Char('\r') && all.at(i) != QLatin1Char('\n'))
            ++i;
        out += QStringView(all).mid(start, i - start);
        out += kCrLf;
        if (i < n && all.at(i) == QLatin1Char('\r') && i + 1 < n && all.at(i + 1) == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    return out;
}

namespace {
// The hidden timing window of the wait: shown modally, so that no other window takes input
// while it lasts, and never drawn anywhere. Timers and the network poll run meanwhile.
class frmTiming : public QWidget {
  public:
    explicit frmTiming(int ms) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) {
        setAttribute(Qt::WA_DontShowOnScreen);
        setWindowModality(Qt::ApplicationModal);
        Timer1.setSingleShot(true);
        Timer1.setTimerType(Qt::PreciseTimer); // a wait never ends early
        Timer1.setInterval(ms < 0 ? 0 : ms);
        QObject::connect(&Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    }
    void ShowModal() {
        show();
        Timer1.start();
        loop.exec();
    }

  private:
    void Timer1_Timer() {
        Timer1.stop();
        hide();
        loop.quit();
    }
    QTimer Timer1;
    QEventLoop loop;
};
} // namespace

void Delay(int ms) {
    frmTiming timing(ms);
    timing.ShowModal();
}

namespace {
struct QueuedMsg {
    QString text;
    int icon;
};
int msgDepth = 0;
std::vector<QueuedMsg>& msgQueue() {
    static std::vector<QueuedMsg> q;
    return q;
}
} // namespace

int ShowMsg(const QString& text, int buttons, int icon) {
    // Each message window runs a nested loop that keeps polling the network, so a flood of
    // messages would nest without end. Past the bound, notices wait for the outermost window
    // to close and questions are answered No.
    if (msgDepth >= kMaxNestedMessages) {
        if (buttons == 1) return 1;
        msgQueue().push_back({text, icon});
        return 0;
    }
    Sound::beep();
    ++msgDepth;
    const int result = Messages::service()->Show(text, buttons, icon);
    --msgDepth;
    if (msgDepth == 0) {
        while (!msgQueue().empty()) {
            const QueuedMsg next = msgQueue().front();
            msgQueue().erase(msgQueue().begin());
            ShowMsg(next.text, 0, next.icon);
        }
    }
    return result;
}

void PlaySnd(const QString& setting) {
    if (setting.isEmpty()) return;
    if (setting == QLatin1String("(System Beep)")) {
        Sound::beep();
        return;
    }
    if (setting.endsWith(QLatin1String(".wav"), Qt::CaseSensitive) && QFileInfo(setting).isFile()) {
        modAPIFunc::PlayWave(setting, false);
        return;
    }
    Sound::beep();
}

bool IsValidName(const QString& name) {
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                        u == '_' || u == '-' || u == '(' || u == ')';
        if (!ok) return false;
    }
    return true;
}

bool IsEveryoneName(const QString& name) {
    return SameNoCase(name, QStringLiteral("(All)"));
}

QString ProperCase(const QString& text) {
    if (text.isEmpty()) return text;
    return text.left(1).toUpper() + text.mid(1).toLower();
}

QString TrimBlanks(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && text.at(e - 1) == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

qint32 CountStr(const QString& text, const QString& sub) {
    if (sub.isEmpty()) return 0;
    qint32 count = 0;
    for (qsizetype i = text.indexOf(sub); i >= 0; i = text.indexOf(sub, i + 1))
        ++count;
    return count;
}

QString GetField(const QString& text, qint32 n, QChar sep) {
    return Fields::Get(text, n, sep);
}

QStringList ListNames(const QString& userList) {
    // One pass: block lists and groups can hold many thousand names.
    QStringList out;
    qsizetype start = 0;
    for (qsizetype end = userList.indexOf(modGlobals::kSep); end >= 0;
         end = userList.indexOf(modGlobals::kSep, start)) {
        out << userList.mid(start, end - start);
        start = end + 1;
    }
    return out;
}

QString ReplaceAll(const QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty()) return text;
    QString work = text;
    // Searching on after each replacement gives the same result as searching again from the
    // start, and cannot loop when the replacement holds the find text.
    qsizetype from = 0;
    for (qsizetype i; (i = work.indexOf(find, from, Qt::CaseInsensitive)) >= 0;) {
        work.replace(i, find.size(), replacement);
        from = i + replacement.size();
    }
    return work;
}

QString PlainLines(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString FileFromPath(const QString& path) {
    const qsizetype i = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return i < 0 ? path : path.mid(i + 1);
}

QString FolderFromPath(const QString& path) {
    const qsizetype i = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return i < 0 ? QString() : path.left(i + 1);
}

bool NetworkPresent() {
    return Identity::networkPresent();
}

void OpenLink(const QString& link) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int code = 0;
    const bool ok = Shell::open(link, code);
    QApplication::restoreOverrideCursor();
    if (!ok)
        ShowMsg(QStringLiteral("Error Opening Link to ") + link + kCrLf + kCrLf + QString::number(code), 0,
                5);
}

qint32 GetWorkArea(int index, const QWidget* window) {
    if (index < 0 || index > 3) return 0;
    QScreen* screen = window ? window->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return 0;
    const QRect r = screen->availableGeometry();
    const double dpiX = Twips::dpiX(window), dpiY = Twips::dpiY(window);
    auto tw = [](int px, double dpi) { return Twips::fromPx(px, dpi); };
    switch (index) {
    case 0:
        return tw(r.left(), dpiX);
    case 1:
        return tw(r.top(), dpiY);
    case 2:
        return tw(r.left() + r.width(), dpiX);
    default:
        return tw(r.top() + r.height(), dpiY);
    }
}

namespace {
void runCompanion(const QString& file, const QString& logText, const QString& msgKey) {
    // Beside this program, whichever data folder it uses; the companion is told that folder.
    const QString path = ProgramFolder::program(file);
    if (QFileInfo(path).isFile() && Shell::startProgram(path, {}, ProgramFolder::environment())) return;
    WriteLog(logText + path);
    ShowMsg(modLangConst::Get(msgKey) + kCrLf + QLatin1Char('(') + path + QLatin1Char(')'), 0, 1);
}
} // namespace

void RunUpdate() {
    runCompanion(QStringLiteral("QX3Update"), QStringLiteral("Unable to locate AutoUpdate EXE; "),
                 QStringLiteral("NoAutoUpdate"));
}

void RunHelp() {
    runCompanion(QStringLiteral("Help"), QStringLiteral("Unable to locate Help EXE; "),
                 QStringLiteral("NoHelpEXE"));
}

QString LowerAscii(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') c = QChar(c.unicode() + 32);
    return out;
}

int CompareNoCase(const QString& a, const QString& b) {
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a.at(i).unicode(), y = b.at(i).unicode();
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameNoCase(const QString& a, const QString& b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

namespace {
std::vector<ChatPicture>& pictures() {
    static std::vector<ChatPicture> p = [] {
        const char* tags[15] = {":) :-) ",   ":D :d :-D :-d ", ":O :o :-O :-o ",  ":P :p :-P :-p ",
                                ";) ;-) ",   ":( :-( ",        ":S :s :-S :-s ",  ":-| :| ",
                                ":'( :-'( ", ":$ :-$ ",        ":~ :-~ ",         ":@ :-@ ",
                                "&) &-) ",   "(Y) (y) _/ ",    "(N) (n) (x) (X) "};
        std::vector<ChatPicture> v;
        for (const char* t : tags)
            v.push_back({QString(), QString::fromLatin1(t)});
        return v;
    }();
    return p;
}
} // namespace

const std::vector<ChatPicture>& ChatPictures() {
    return pictures();
}

void SetChatPictureTexts(const std::vector<QString>& texts) {
    auto& p = pictures();
    for (std::size_t i = 0; i < p.size() && i < texts.size(); ++i)
        p[i].text = texts[i];
}

namespace {
// Where the first of a picture's codes (in the order of its tag) stands in `text`, ignoring
// letter case; -1 when none does. Replacing one and asking again walks the codes the way the
// picture pass always has: from the first code again after every replacement.
qsizetype findPictureCode(const QString& text, const QString& tag, qsizetype& length) {
    const qint32 codes = CountStr(tag, QStringLiteral(" "));
    for (qint32 j = 1; j <= codes; ++j) {
        const QString code = GetField(tag, j, QLatin1Char(' '));
        if (code.isEmpty()) continue; // it would be found everywhere, for ever
        const qsizetype at = text.indexOf(code, 0, Qt::CaseInsensitive);
        if (at >= 0) {
            length = code.size();
            return at;
        }
    }
    return -1;
}
} // namespace

QString InsertPictures(const QString& text) {
    QString work = text;
    for (const ChatPicture& pic : pictures()) {
        if (pic.text.isEmpty()) continue; // no picture registered: the codes stay as typed
        qsizetype length = 0;
        for (qsizetype at; (at = findPictureCode(work, pic.tag, length)) >= 0;)
            work.replace(at, length, pic.text);
    }
    return work;
}

void InsertPictures(QTextDocument* doc, int firstBlock) {
    if (!doc) return;
    const auto& table = pictures();
    for (QTextBlock block = doc->findBlockByNumber(qMax(0, firstBlock)); block.isValid();
         block = block.next()) {
        // The paragraph as the pass sees it: a picture already in place is one character that
        // is part of no code.
        QString work = block.text();
        for (std::size_t p = 0; p < table.size(); ++p) {
            const ChatPicture& pic = table[p];
            if (pic.text.isEmpty()) continue;
            qsizetype length = 0;
            for (qsizetype at; (at = findPictureCode(work, pic.tag, length)) >= 0;) {
                QTextCursor c(doc);
                c.setPosition(block.position() + int(at));
                c.setPosition(block.position() + int(at + length), QTextCursor::KeepAnchor);
                const QString typed = c.selectedText();
                QTextCursor first(doc);
                first.setPosition(block.position() + int(at) + 1);
                QTextImageFormat img;
                img.merge(first.charFormat());
                img.setName(frmImgs::ChatPictureUrl(int(p)).toString());
                img.setProperty(kPictureCodeProperty, typed);
                c.insertImage(img);
                work.replace(at, length, QChar(QChar::ObjectReplacementCharacter));
            }
        }
    }
}

} // namespace modAppFnc

namespace modAPIFunc {
void PlayWave(const QString& path, bool wait) {
    Sound::playWave(path, wait);
}

void SetTopMost(QWidget* window, bool topMost) {
    if (!window) return;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (visible) window->show(); // changing the flags hides a shown window
}
} // namespace modAPIFunc
