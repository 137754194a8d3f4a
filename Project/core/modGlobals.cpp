#include "modGlobals.h"

namespace modGlobals {
Settings& Sets() {
    static Settings s;
    return s;
}
RunState& Run() {
    static RunState r;
    return r;
}
} // namespace modGlobals
