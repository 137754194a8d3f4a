// Measures the support mail program:
//  1. base64 encoding and line wrapping of a 2 MiB attachment, with the event loop turning;
//  2. a whole report with a 2 MiB Log.txt to a local SMTP server, from Send to the confirmation.
#include "Help/Base64.h"
#include "Help/Form1.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"
#include "support/PlatformHeadless.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <cstdio>

using namespace Help;

namespace {
QByteArray randomBytes(qsizetype n) {
    QByteArray b(n, '\0');
    QRandomGenerator rng(18);
    for (char& c : b)
        c = static_cast<char>(rng.bounded(256));
    return b;
}

// Yes to every question but the confirmation, which keeps the program; notes when it came.
struct Answers : MsgBox::Service {
    QElapsedTimer* clock = nullptr;
    double confirmedMs = -1;
    MsgBox::Answer Show(const MsgBox::Box& box) override {
        if (box.title == QStringLiteral("Email Confirmation")) {
            confirmedMs = clock->nsecsElapsed() / 1e6;
            return MsgBox::Answer::No;
        }
        return box.buttons == MsgBox::Buttons::Ok ? MsgBox::Answer::Ok : MsgBox::Answer::Yes;
    }
};
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnv::PlatformHeadless env; // a program folder of its own, where the server keeps the mail too

    const QByteArray log = randomBytes(2 * 1024 * 1024);
    {
        Base64 codec;
        QByteArray encoded, spanned;
        QElapsedTimer t;
        t.start();
        codec.EncodeB64(log, encoded);
        codec.Span(76, encoded, spanned);
        std::printf("base64 encode + wrap of 2 MiB: %.1f ms (goal: under 100 ms)\n", t.nsecsElapsed() / 1e6);
    }

    QProcess server;
    server.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(QX3_SMTP_CAPTURE), env.folder()});
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(20000)) {
        std::printf("the local SMTP server did not start (python3-aiosmtpd)\n");
        return 1;
    }
    const int port = server.readLine().trimmed().toInt();
    QFile f(ProgramFolder::file(QStringLiteral("Log.txt")));
    if (!f.open(QIODevice::WriteOnly) || f.write(log) != log.size()) return 1;
    f.close();

    QElapsedTimer clock;
    Answers answers;
    answers.clock = &clock;
    Slot<MsgBox::Service>::Override use(MsgBox::service(), answers);
    Form1 form;
    form.MailServer->setCurrentText(QStringLiteral("127.0.0.1:%1").arg(port));
    form.Frombox->setText(QStringLiteral("bench@example.com"));
    form.chksendUser->setChecked(false);
    form.show();
    clock.start();
    form.SendMimeConnect->click();
    while (answers.confirmedMs < 0 && !form.SendMimeConnect->isEnabled() && clock.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    server.kill();
    server.waitForFinished(5000);
    if (answers.confirmedMs < 0) {
        std::printf("report with a 2 MiB Log.txt: failed (%s)\n", qPrintable(form.Process->text()));
        return 1;
    }
    const qint64 kept = QFileInfo(QDir(env.folder()).filePath(QStringLiteral("msg1.eml"))).size();
    std::printf("report with a 2 MiB Log.txt to a local SMTP server, Send to confirmation: %.2f s "
                "(the server kept %lld bytes)\n",
                answers.confirmedMs / 1000.0, static_cast<long long>(kept));
    return 0;
}
