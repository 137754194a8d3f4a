#pragma once
// The pieces cut from a skin picture (645 x 326 pixels at least), named once for the windows
// that draw with them and for the tests that check them. Rectangles are in the picture's pixels.
#include <QImage>
#include <QPainter>
#include <QRect>

namespace SkinAtlas {

// The background of the dialogs and notice windows (information, alerts, pop-ups).
inline constexpr QRect kDialogBack{0, 0, 428, 265};

// The side bar of the main and chat windows, as wide as its pieces.
inline constexpr int kSideBarWidth = 144;

// The main window's frame: corners drawn once, edges tiled.
inline constexpr QRect kMainTopLeft{429, 0, 51, 49};
inline constexpr QRect kMainTop{481, 0, 10, 49};
inline constexpr QRect kMainTopRight{492, 0, 8, 49};
inline constexpr QRect kMainLeft{429, 50, 51, 10};
inline constexpr QRect kMainRight{492, 50, 8, 10};
inline constexpr QRect kMainBottomLeft{429, 61, 51, 97};
inline constexpr QRect kMainBottom{481, 61, 10, 97};
inline constexpr QRect kMainBottomRight{492, 61, 8, 97};
// With the side bar the bottom-right corner keeps only its top rows.
inline constexpr QRect kMainBottomRightSide{492, 61, 8, 9};
inline constexpr QRect kMainSideTop{501, 0, kSideBarWidth, 49};
inline constexpr QRect kMainSideMiddle{501, 50, kSideBarWidth, 10};
inline constexpr QRect kMainSideBottom{501, 61, kSideBarWidth, 97};
// The mark in the bottom-right corner without the side bar.
inline constexpr QRect kMainCornerPicture{378, 266, 50, 60};

// The chat window's frame, laid out like the main window's 159 pixels lower.
inline constexpr QRect kChatTopLeft{429, 159, 51, 49};
inline constexpr QRect kChatTop{481, 159, 10, 49};
inline constexpr QRect kChatTopRight{492, 159, 8, 49};
inline constexpr QRect kChatLeft{429, 209, 51, 10};
inline constexpr QRect kChatRight{492, 209, 8, 10};
inline constexpr QRect kChatBottomLeft{429, 220, 51, 94};
inline constexpr QRect kChatBottom{481, 220, 10, 94};
inline constexpr QRect kChatBottomRight{492, 220, 8, 94};
inline constexpr QRect kChatBottomRightSide{492, 220, 8, 66};
inline constexpr QRect kChatSideTop{501, 159, kSideBarWidth, 49};
inline constexpr QRect kChatSideMiddle{501, 209, kSideBarWidth, 10};
inline constexpr QRect kChatSideBottom{501, 220, kSideBarWidth, 94};

// A window's frame as the main and chat windows draw it: corners once, edges tiled, and right of
// it, when shown, the side bar.
struct Frame {
    QRect topLeft, top, topRight, left, right, bottomLeft, bottom, bottomRight;
    QRect bottomRightSide; // the bottom-right corner beside the side bar
    QRect sideTop, sideMiddle, sideBottom;
    // The edges and the side bar's middle are tiled down to the window's foot, under the bottom
    // row; otherwise only as far as the bottom row begins.
    bool tiledToFoot;
};
inline constexpr Frame kMainFrame{
    kMainTopLeft, kMainTop,         kMainTopRight,        kMainLeft,    kMainRight,      kMainBottomLeft,
    kMainBottom,  kMainBottomRight, kMainBottomRightSide, kMainSideTop, kMainSideMiddle, kMainSideBottom,
    false};
inline constexpr Frame kChatFrame{
    kChatTopLeft, kChatTop,         kChatTopRight,        kChatLeft,    kChatRight,      kChatBottomLeft,
    kChatBottom,  kChatBottomRight, kChatBottomRightSide, kChatSideTop, kChatSideMiddle, kChatSideBottom,
    true};

// Paints `frame` into a client area `width` x `height` pixels large, with the side bar in its
// last kSideBarWidth columns when `sideBar`. What the pieces leave uncovered keeps its pixels.
void PaintFrame(QPainter& p, const QImage& skin, const Frame& frame, int width, int height, bool sideBar);

// The own status pictures (0 Online, 1 Busy, 2 Away), side by side below the dialog back.
inline constexpr QRect StatusPicture(int status) {
    return {33 * status, 266, 32, 32};
}

// Draws `piece` of the skin picture with its top-left corner at (x, y); a piece that reaches past
// the picture (a skin smaller than it should be) is cut to it.
inline void Blit(QPainter& p, int x, int y, const QImage& skin, const QRect& piece) {
    const QRect have = piece.intersected(skin.rect());
    if (have.isEmpty()) return;
    p.drawImage(QPoint(x + have.x() - piece.x(), y + have.y() - piece.y()), skin, have);
}

} // namespace SkinAtlas
