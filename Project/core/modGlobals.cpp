#include "core/modGlobals.h"

namespace modGlobals {
quint32 PaletteColor(int index) {
    static constexpr quint32 rgb[kPaletteSize][3] = {
        {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},  {128, 0, 0}, {128, 0, 128},
        {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},    {0, 255, 0}, {0, 255, 255},
        {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255}};
    if (index < 0 || index >= kPaletteSize) return 0;
    return rgb[index][0] | (rgb[index][1] << 8) | (rgb[index][2] << 16);
}

Settings& Sets() {
    static Settings s;
    return s;
}
RunState& Run() {
    static RunState r;
    return r;
}
} // namespace modGlobals
