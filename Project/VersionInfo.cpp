// The product version inside the executable, where the update program finds it.
#include "platform/VersionBlock.h"
#include "platform/qx3version.h"

namespace {
[[gnu::used]] alignas(4) constexpr auto kVersionBlock =
    VersionBlock::Build<QX3_VERSION_MAJOR, QX3_VERSION_MINOR, QX3_VERSION_PATCH>();
} // namespace
