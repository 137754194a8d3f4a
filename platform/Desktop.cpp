#include "platform/Desktop.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

bool isWayland(const QProcessEnvironment& env) {
    return !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
           env.value(QStringLiteral("XDG_SESSION_TYPE"))
                   .compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

// The application's own style, drawing as it does but for captions too long for their place.
class FittingStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                      const QString& text, QPalette::ColorRole textRole) const override {
        const QString shown = painter && !(flags & Qt::TextWordWrap)
                                  ? Desktop::FitText(painter->fontMetrics(), text, rect.width(), flags)
                                  : text;
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, shown, textRole);
    }

    // A group's title longer than its box ends inside the box, where it is drawn fitted.
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* widget) const override {
        QRect r = QProxyStyle::subControlRect(cc, opt, sc, widget);
        if (cc == CC_GroupBox && sc == SC_GroupBoxLabel && opt && r.right() > opt->rect.right())
            r.setRight(opt->rect.right());
        return r;
    }
};

int& platformChosen(int& argc) {
    Desktop::ChoosePlatform();
    return argc;
}

} // namespace

QByteArray Desktop::PlatformFor(const QProcessEnvironment& env) {
    if (!env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty()) return {};
    if (isWayland(env) && !env.value(QStringLiteral("DISPLAY")).isEmpty())
        return QByteArrayLiteral("xcb;wayland");
    return {};
}

void Desktop::ChoosePlatform() {
    const QByteArray platform = PlatformFor(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty()) qputenv("QT_QPA_PLATFORM", platform);
}

QFont Desktop::InterfaceFont(const QString& family) {
    QFont font(QFontDatabase::hasFamily(family) ? family : QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kFontPoints);
    return font;
}

QString Desktop::FitText(const QFontMetrics& fm, const QString& text, int width, int flags) {
    if (text.contains(QLatin1Char('\n'))) return text;
    const int mnemonic =
        (flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic)) ? int(Qt::TextShowMnemonic) : 0;
    if (fm.size(Qt::TextSingleLine | mnemonic, text).width() <= width) return text;
    return fm.elidedText(text, Qt::ElideRight, qMax(width, 0), mnemonic);
}

void Desktop::UseLayoutLook() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return; // no widgets to dress
    if (!dynamic_cast<FittingStyle*>(QApplication::style()))
        QApplication::setStyle(new FittingStyle(QApplication::style()->name()));
    // Without a class name this also drops the fonts the platform theme gave single classes
    // (menus, buttons, labels), which would otherwise win over the application's font.
    QApplication::setFont(InterfaceFont());
}

Desktop::Application::Application(int& argc, char** argv) : QApplication(platformChosen(argc), argv) {
    UseLayoutLook();
}
