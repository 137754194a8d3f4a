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
#include "core/modSettings.h"
#include "mainwin/frmMain.h"
#include "platform/Twips.h"
#include "support/TestEnv.h"

#include <QList>
#include <QPointer>
#include <QRect>
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

    // A place and size "left,top,width,height" in pixels, the place counted from `area`'s
    // top-left corner: "R" is its last column, "B" its last row, "W" and "H" its width and
    // height, each with an optional "+n".
    static QRect placeIn(const QString& place, const QRect& area) {
        QList<int> px;
        for (const QString& field : place.split(QLatin1Char(','))) {
            const QString v = field.section(QLatin1Char('+'), 0, 0);
            px << field.section(QLatin1Char('+'), 1).toInt() + (v == QLatin1String("R")   ? area.width() - 1
                                                                : v == QLatin1String("B") ? area.height() - 1
                                                                : v == QLatin1String("W") ? area.width()
                                                                : v == QLatin1String("H") ? area.height()
                                                                                          : v.toInt());
        }
        return px.size() == 4 ? QRect(area.left() + px[0], area.top() + px[1], px[2], px[3]) : QRect();
    }
    // Writes `outer` (pixels at the default DPI) into the settings file as the main window's
    // stored place and size and loads every setting back from that file.
    static bool storePlace(const QRect& outer) {
        const double dx = Twips::dpiX(nullptr), dy = Twips::dpiY(nullptr);
        auto& s = modGlobals::Sets();
        s.FM_PL = Twips::fromPx(outer.left(), dx);
        s.FM_PT = Twips::fromPx(outer.top(), dy);
        s.FM_PW = Twips::fromPx(outer.width(), dx);
        s.FM_PH = Twips::fromPx(outer.height(), dy);
        if (!modSettings::SaveSettings()) return false;
        s = modGlobals::Settings();
        return modSettings::LoadSettings();
    }
    // FM_PL, FM_PT, FM_PW and FM_PH as the settings file holds them (every setting is loaded
    // from it afresh).
    static QList<qint32> storedPlace() {
        auto& s = modGlobals::Sets();
        s = modGlobals::Settings();
        if (!modSettings::LoadSettings()) return {};
        return {s.FM_PL, s.FM_PT, s.FM_PW, s.FM_PH};
    }

    QPointer<frmMain> win;
};

} // namespace TestEnv
