// What the programs settle with the desktop before their first window: the display platform
// they ask for, the interface font every widget draws in, and captions that end in an ellipsis
// where they do not fit.
#include "platform/Desktop.h"
#include "support/PlatformHeadless.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTest>
#include <QTextEdit>
#include <functional>
#include <memory>

namespace {
using Make = std::function<QWidget*()>;

QImage rendered(QWidget* w) {
    QImage img(w->size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    w->render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

// A text control of the given kind with `text`.
QWidget* textControl(const QString& kind, const QString& text) {
    if (kind == QLatin1String("QLabel")) return new QLabel(text);
    if (kind == QLatin1String("QPushButton")) return new QPushButton(text);
    if (kind == QLatin1String("QCheckBox")) return new QCheckBox(text);
    if (kind == QLatin1String("QGroupBox")) return new QGroupBox(text);
    return new QRadioButton(text);
}
} // namespace
Q_DECLARE_METATYPE(Make)

class TestDesktop : public QObject {
    Q_OBJECT
    TestEnv::PlatformHeadless env;

  private slots:
    void platformFromTheEnvironment_data() {
        QTest::addColumn<QStringList>("vars"); // NAME=value
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("no display") << QStringList() << QByteArray();
        QTest::newRow("X11 session") << QStringList{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"} << QByteArray();
        QTest::newRow("Wayland with XWayland")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"} << QByteArray("xcb;wayland");
        QTest::newRow("Wayland session type with XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:1"} << QByteArray("xcb;wayland");
        QTest::newRow("session type in capitals")
            << QStringList{"XDG_SESSION_TYPE=Wayland", "DISPLAY=:1"} << QByteArray("xcb;wayland");
        QTest::newRow("Wayland alone")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "XDG_SESSION_TYPE=wayland"} << QByteArray();
        QTest::newRow("empty DISPLAY")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY="} << QByteArray();
        QTest::newRow("user chose Wayland")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}
            << QByteArray();
        QTest::newRow("user chose offscreen")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=offscreen"}
            << QByteArray();
        QTest::newRow("an empty choice is none")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM="}
            << QByteArray("xcb;wayland");
    }
    void platformFromTheEnvironment() {
        QFETCH(QStringList, vars);
        QFETCH(QByteArray, platform);
        QProcessEnvironment env;
        for (const QString& v : vars)
            env.insert(v.section(QLatin1Char('='), 0, 0), v.section(QLatin1Char('='), 1));
        QCOMPARE(Desktop::PlatformFor(env), platform);
    }

    void interfaceFont() {
        const QFont font = Desktop::InterfaceFont();
        const QFontInfo info(font);
        QCOMPARE(info.family(), QString::fromLatin1(Desktop::kFontFamily));
        QCOMPARE(info.pointSize(), Desktop::kFontPoints);
        // 8 points at the layouts' 96 DPI.
        QCOMPARE(info.pixelSize(), 11);
    }

    // A computer without the font still draws a small sans-serif, at the same size.
    void missingFamilyFallsBack() {
        const QString missing = QStringLiteral("No Such Interface Font");
        QVERIFY(!QFontDatabase::hasFamily(missing));
        const QFontInfo got(Desktop::InterfaceFont(missing));
        QVERIFY2(QFontDatabase::hasFamily(got.family()), qPrintable(got.family()));
        QVERIFY(!got.fixedPitch());
        QCOMPARE(got.pixelSize(), QFontInfo(Desktop::InterfaceFont()).pixelSize());
        const QFontInfo serif(QFont(QStringLiteral("Serif")));
        QVERIFY2(got.family() != serif.family(), qPrintable(got.family()));
    }

    void themeFontsGiveWay_data() {
        QTest::addColumn<Make>("make");
        QTest::newRow("QLabel") << Make([] { return new QLabel(QStringLiteral("Name")); });
        QTest::newRow("QPushButton") << Make([] { return new QPushButton(QStringLiteral("OK")); });
        QTest::newRow("QCheckBox") << Make([] { return new QCheckBox(QStringLiteral("Auto")); });
        QTest::newRow("QRadioButton") << Make([] { return new QRadioButton(QStringLiteral("One")); });
        QTest::newRow("QGroupBox") << Make([] { return new QGroupBox(QStringLiteral("Skin")); });
        QTest::newRow("QLineEdit") << Make([] { return new QLineEdit; });
        QTest::newRow("QComboBox") << Make([] { return new QComboBox; });
        QTest::newRow("QListWidget") << Make([] { return new QListWidget; });
        QTest::newRow("QTextEdit") << Make([] { return new QTextEdit; });
        QTest::newRow("QMenu") << Make([] { return new QMenu; });
        QTest::newRow("QMenuBar") << Make([] { return new QMenuBar; });
    }
    // A platform theme gives the application its font and single classes fonts of their own
    // (menus, buttons, labels); every widget made afterwards draws in the interface font.
    void themeFontsGiveWay() {
        QFETCH(Make, make);
        QFont desktop(QStringLiteral("DejaVu Serif"));
        desktop.setPointSize(14);
        QApplication::setFont(desktop);
        for (const char* cls :
             {"QLabel", "QAbstractButton", "QPushButton", "QCheckBox", "QRadioButton", "QGroupBox",
              "QLineEdit", "QComboBox", "QAbstractItemView", "QTextEdit", "QMenu", "QMenuBar"})
            QApplication::setFont(desktop, cls);
        {
            const std::unique_ptr<QWidget> before(make());
            before->ensurePolished();
            QCOMPARE(QFontInfo(before->font()).family(), QStringLiteral("DejaVu Serif"));
        }
        Desktop::UseLayoutLook();
        const std::unique_ptr<QWidget> w(make());
        w->ensurePolished();
        const QFontInfo want(Desktop::InterfaceFont()), got(w->font());
        QCOMPARE(got.family(), want.family());
        QCOMPARE(got.pixelSize(), want.pixelSize());
    }

    void fitText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("spare"); // the width given, less the text's own width
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("whole");
        QTest::newRow("fits") << "Set Language..." << 0 << 0 << true;
        QTest::newRow("one pixel short") << "Set Language..." << -1 << 0 << false;
        QTest::newRow("access key takes no room")
            << "Set &Language..." << 0 << int(Qt::TextShowMnemonic) << true;
        QTest::newRow("hidden access key takes no room")
            << "Set &Language..." << 0 << int(Qt::TextHideMnemonic) << true;
        QTest::newRow("much too long") << "Automatisch anmelden" << -60 << 0 << false;
        QTest::newRow("several lines are their drawer's") << "two\nlines" << -20 << 0 << true;
    }
    void fitText() {
        QFETCH(QString, text);
        QFETCH(int, spare);
        QFETCH(int, flags);
        QFETCH(bool, whole);
        const QFontMetrics fm(Desktop::InterfaceFont());
        const int mnemonic = flags ? int(Qt::TextShowMnemonic) : 0;
        const int width = fm.size(Qt::TextSingleLine | mnemonic, text).width() + spare;
        const QString got = Desktop::FitText(fm, text, width, flags);
        if (whole) {
            QCOMPARE(got, text);
            return;
        }
        QVERIFY2(got.endsWith(QChar(0x2026)), qPrintable(got));
        QVERIFY2(fm.size(Qt::TextSingleLine | mnemonic, got).width() <= width, qPrintable(got));
        QVERIFY2(text.startsWith(got.chopped(1)), qPrintable(got));
    }

    void longCaptionsEndInAnEllipsis_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("label") << "QLabel";
        QTest::newRow("push button") << "QPushButton";
        QTest::newRow("check box") << "QCheckBox";
        QTest::newRow("radio button") << "QRadioButton";
        QTest::newRow("group box title") << "QGroupBox";
    }
    // A caption too long for its control is drawn as its start and an ellipsis, inside the
    // control, exactly as the underlying style draws that shorter caption; one that fits is drawn
    // as that style draws it.
    void longCaptionsEndInAnEllipsis() {
        QFETCH(QString, kind);
        Desktop::UseLayoutLook();
        auto* proxy = qobject_cast<QProxyStyle*>(QApplication::style());
        QVERIFY(proxy && proxy->baseStyle());
        // A style of the same kind of its own: the proxy's base draws through the proxy.
        const std::unique_ptr<QStyle> base(QStyleFactory::create(proxy->baseStyle()->name()));
        QVERIFY(base);
        const QString caption = QStringLiteral("&Automatisch anmelden beim Start");
        const std::unique_ptr<QWidget> whole(textControl(kind, caption));
        whole->resize(90, 22);
        whole->ensurePolished();
        QStyleOptionButton opt;
        opt.initFrom(whole.get());
        QRect room = whole->contentsRect();
        if (kind == QLatin1String("QCheckBox"))
            room = whole->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, whole.get());
        else if (kind == QLatin1String("QRadioButton"))
            room = whole->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, whole.get());
        else if (kind == QLatin1String("QPushButton"))
            room = whole->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, whole.get());
        if (auto* box = qobject_cast<QGroupBox*>(whole.get())) {
            QStyleOptionGroupBox title;
            title.initFrom(box);
            title.text = box->title();
            title.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            room = box->style()->subControlRect(QStyle::CC_GroupBox, &title, QStyle::SC_GroupBoxLabel, box);
            QVERIFY(box->rect().contains(room));
        }
        const int mnemonic = kind == QLatin1String("QLabel") ? 0 : int(Qt::TextShowMnemonic);
        const QString shorter = Desktop::FitText(whole->fontMetrics(), caption, room.width(), mnemonic);
        QVERIFY2(shorter.endsWith(QChar(0x2026)), qPrintable(shorter));
        auto asBaseDraws = [&](const QString& text) {
            std::unique_ptr<QWidget> w(textControl(kind, text));
            w->setStyle(base.get());
            w->resize(whole->size());
            return rendered(w.get());
        };
        QCOMPARE(rendered(whole.get()), asBaseDraws(shorter));
        QVERIFY(rendered(whole.get()) != asBaseDraws(caption));
        const std::unique_ptr<QWidget> fits(textControl(kind, QStringLiteral("&Auto")));
        fits->resize(whole->size());
        QCOMPARE(rendered(fits.get()), asBaseDraws(QStringLiteral("&Auto")));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
