#pragma once
// The main window as the window tests open it, for the test classes that derive from this
// beside QObject (they link qx3mainwin): loaded and shown, users heard as datagrams written with
// "~" for the separator, and closed by code in cleanup().
//
//   class TestX : public QObject, TestEnv::MainWindowFixture { ...
//       void cleanup() { QVERIFY(closeMain()); }
//       void aTest() { openMain(); addUsers({"Ann~S1", "Bob~C255"}); QCOMPARE(win->..., ...); }
#include "core/modGlobals.h"
#include "core/modNetCmds.h"
#include "mainwin/frmMain.h"
#include "support/TestEnv.h"

#include <QPointer>
#include <QStringList>
#include <QTest>

namespace TestEnv {

class MainWindowFixture {
  protected:
    // Loads the main window and shows it; false (with a warning) when it was never exposed.
    bool openMain() {
        win = new frmMain;
        win->show();
        const bool exposed = QTest::qWaitForWindowExposed(win);
        if (!exposed) qWarning("main window not exposed");
        return exposed;
    }
    // Acts on a datagram ("~" standing for the separator) as the network layer does on hearing it.
    static void parse(QString datagram) {
        modNetCmds::ParseData(datagram.replace(QLatin1Char('~'), modGlobals::kSep));
    }
    static void addUsers(const QStringList& datagrams) {
        for (const QString& d : datagrams)
            parse(d);
    }
    // Closes the loaded window by code, if there is one; false when it is still there after the wait.
    bool closeMain() {
        if (!win) return true;
        win->CloseByCode();
        return QTest::qWaitFor([this] { return win.isNull(); }, kNetWait);
    }

    QPointer<frmMain> win;
};

} // namespace TestEnv
