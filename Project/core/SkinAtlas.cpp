#include "core/SkinAtlas.h"

namespace {
// The side bar's middle is tiled from this row down, over the lower part of its top piece.
constexpr int kSideTilesFrom = 10;
} // namespace

void SkinAtlas::PaintFrame(QPainter& p, const QImage& skin, const Frame& f, int width, int height,
                           bool sideBar) {
    const int edge = sideBar ? width - kSideBarWidth : width; // where the side bar begins
    const int right = edge - f.topRight.width();
    const int foot = height - f.bottomLeft.height(); // the top of the bottom row
    const int tilesEnd = f.tiledToFoot ? height : foot;
    Blit(p, 0, 0, skin, f.topLeft);
    for (int x = f.topLeft.width(); x <= edge; x += f.top.width())
        Blit(p, x, 0, skin, f.top);
    Blit(p, right, 0, skin, f.topRight);
    for (int y = f.topLeft.height(); y <= tilesEnd; y += f.left.height())
        Blit(p, 0, y, skin, f.left);
    for (int y = f.topLeft.height(); y <= tilesEnd; y += f.right.height())
        Blit(p, right, y, skin, f.right);
    Blit(p, 0, foot, skin, f.bottomLeft);
    for (int x = f.bottomLeft.width(); x <= edge; x += f.bottom.width())
        Blit(p, x, foot, skin, f.bottom);
    if (sideBar) {
        Blit(p, edge, 0, skin, f.sideTop);
        for (int y = kSideTilesFrom; y <= tilesEnd; y += f.sideMiddle.height())
            Blit(p, edge, y, skin, f.sideMiddle);
        Blit(p, edge, foot, skin, f.sideBottom);
    }
    Blit(p, right, foot, skin, sideBar ? f.bottomRightSide : f.bottomRight);
}
