#pragma once
// What the three programs settle with the desktop before their first window: the display they
// run on, and the one interface font their fixed layouts were made for.
//
// The programs place their own windows (the pop-up's corner, the docked speed bar and its
// reserved strip, the tray icon), which only X11 lets a program do; so where a Wayland session
// also offers X11 they run on X11. The layouts (twips, 15 to the pixel at 96 DPI) were drawn for
// a small sans-serif of 8 points, so every widget draws in that font at that size, whatever font
// the desktop hands Qt; only fonts the code sets from the user's settings differ.
#include <QApplication>
#include <QByteArray>
#include <QFont>
#include <QProcessEnvironment>
#include <QString>

class QFontMetrics;

namespace Desktop {

// The interface font: a sans-serif whose advances at 8 points come closest to those of the
// font the layouts were measured in (fonts-freefont-ttf).
inline constexpr char kFontFamily[] = "FreeSans";
inline constexpr int kFontPoints = 8;

// The platform to ask Qt for, from the environment the program started in: "xcb;wayland" (X11,
// and Wayland only where that X server cannot be reached) where a Wayland session also offers an
// X server (WAYLAND_DISPLAY or XDG_SESSION_TYPE=wayland, and DISPLAY) and the user named no
// platform of his own (QT_QPA_PLATFORM); empty where Qt's own choice stands (X11 alone, Wayland
// alone, no display at all, or the user's choice).
QByteArray PlatformFor(const QProcessEnvironment& env);

// Puts PlatformFor(the process's environment) into QT_QPA_PLATFORM. Before QApplication.
void ChoosePlatform();

// `family` at kFontPoints; where this computer lacks it, fontconfig's sans-serif at the same size,
// so that the windows still come up in a small sans-serif.
QFont InterfaceFont(const QString& family = QString::fromLatin1(kFontFamily));

// `text` as drawn in `width` pixels: whole where it fits, otherwise its end replaced by an
// ellipsis (the mnemonic "&" counted as the painter counts it with Qt::TextShowMnemonic in
// `flags`). Text of several lines is left to its drawer.
QString FitText(const QFontMetrics& fm, const QString& text, int width, int flags = 0);

// Every widget from now on draws in InterfaceFont(), whatever the platform theme gave the
// application or single widget classes, and every single-line caption the style draws (labels,
// buttons, check boxes, group titles) ends in an ellipsis where it does not fit. After
// QApplication is constructed, before the first window; running it again changes nothing, and
// without a QApplication it does nothing.
void UseLayoutLook();

// The application of each program: the platform chosen before Qt starts, the layout look
// applied before any window exists.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv);
};

} // namespace Desktop
