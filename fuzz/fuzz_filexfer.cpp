// File transfer driven by what several senders send, and by the user's own offers. An input is
// a sequence of steps, each three bytes and a payload:
//   byte 1  the step: its value modulo 10 is 0..6 for a datagram of the letters "1" to "7", 7
//           for an offer of the file "offered.bin" by the user, 8 for the layer closing and
//           opening, 9 for the save folder set or cleared (then the folder browser gives it);
//           its value divided by 10 picks the sender (or the user offered to)
//   bytes 2 and 3  the length of the payload that follows, low byte first (Windows-1252)
// Every question is answered Yes. After every step nothing outside the save folder has changed
// (the working folder and the home folder are in the watched folder, and so is the offered
// file), and everything in the save folder is a regular file directly in it, under the last
// part of a name that was offered, whole.
#include "FuzzEnv.h"
#include "core/clsFileXfer.h"
#include "core/modAppFnc.h"
#include "core/modNetCmds.h"
#include "platform/Ansi.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

namespace {
FuzzEnv::Env* env;
QTemporaryDir* root;
QString savePath;
QStringList outsideBefore;
const QString S(modGlobals::kSep);
const QString kSenders[] = {QStringLiteral("Bob"), QStringLiteral("bob"), QStringLiteral("Eve"),
                            QStringLiteral("Cy")};

// The layer reads nothing by itself: only the steps reach the transfer.
struct QuietOwner : TestOwner {
    bool PollOnArrival() const override { return false; }
};

QStringList outside() {
    QStringList out;
    QDirIterator it(root->path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path == savePath || path.startsWith(savePath + QLatin1Char('/'))) continue;
        const QFileInfo fi = it.fileInfo();
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(path, fi.isSymLink() ? QStringLiteral("link")
                              : fi.isDir()   ? QStringLiteral("dir")
                                             : QStringLiteral("file"))
                   .arg(fi.size())
                   .arg(fi.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

// The last parts of the names offered so far in this input.
QSet<QString> offered;

void noteOffer(const QString& payload) {
    const QString F = modAppFnc::GetField(payload, 2, modGlobals::kSep);
    offered.insert(F.mid(qMax(F.lastIndexOf(QLatin1Char('\\')), F.lastIndexOf(QLatin1Char('/'))) + 1));
}

void checkStep() {
    FuzzEnv::check(outside() == outsideBefore, "something outside the save folder changed");
    QDirIterator it(savePath, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        FuzzEnv::check(fi.isFile() && !fi.isSymLink(), "something but a regular file in the save folder");
        FuzzEnv::check(QFileInfo(fi.absolutePath()).canonicalFilePath() ==
                           QFileInfo(savePath).canonicalFilePath(),
                       "a file not directly in the save folder");
        FuzzEnv::check(offered.contains(fi.fileName()), "a file under a name nobody offered");
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Answers go out on loopback, at this process's own port.
    env = &FuzzEnv::init(TestEnv::Loopback);
    root = new QTemporaryDir;
    if (!root->isValid()) FuzzEnv::fail("no temporary folder");
    savePath = root->path() + QStringLiteral("/save");
    const QString work = root->path() + QStringLiteral("/work"),
                  home = root->path() + QStringLiteral("/home");
    if (!QDir().mkpath(savePath) || !QDir().mkpath(work) || !QDir().mkpath(home)) FuzzEnv::fail("no folders");
    FuzzEnv::writeInput(work + QStringLiteral("/offered.bin"), QByteArray(600, 'o'));
    FuzzEnv::writeInput(home + QStringLiteral("/notes.txt"), "keep");
    FuzzEnv::writeInput(root->path() + QStringLiteral("/beside.txt"), "keep");
    if (!QDir::setCurrent(work)) FuzzEnv::fail("no working folder");
    qputenv("HOME", home.toLocal8Bit());
    modGlobals::Sets().UNAME = QStringLiteral("Me");
    env->dialogs.answer = {QStringLiteral("offered.bin"), 1}; // relative: the same name every run
    env->dialogs.folderAnswer = savePath;
    clsFileXfer::Install();
    modNetCmds::OpenNetCom(new QuietOwner, QStringLiteral("Me"));
    outsideBefore = outside();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzEnv::forget(*env);
    env->messages.answers.clear(); // Yes to every question
    // Each input starts with no transfer and an empty save folder, so a finding reproduces from
    // its input alone.
    clsFileXfer::Instance().NetReset();
    QDir(savePath).removeRecursively();
    QDir().mkpath(savePath);
    modGlobals::Sets().SFLD = savePath;
    offered.clear();

    const QByteArray in = FuzzEnv::bytes(data, size);
    for (qsizetype at = 0; at + 3 <= in.size();) {
        const int step = uchar(in.at(at)) % 10;
        const QString& who = kSenders[(uchar(in.at(at)) / 10) % std::size(kSenders)];
        const qsizetype length = uchar(in.at(at + 1)) | (uchar(in.at(at + 2)) << 8);
        const QString payload = Ansi::decode(in.mid(at + 3, length));
        at += 3 + length;
        if (step == 0) noteOffer(payload);
        if (step <= 6)
            modNetCmds::ParseData(who + S + QChar(u'1' + step) + payload);
        else if (step == 7)
            modAppFnc::SendFileTo(who + S);
        else if (step == 8)
            clsFileXfer::Instance().NetReset();
        else
            modGlobals::Sets().SFLD = modGlobals::Sets().SFLD.isEmpty() ? savePath : QString();
        checkStep();
    }
    return 0;
}
