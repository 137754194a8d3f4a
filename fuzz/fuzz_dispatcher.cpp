// The dispatcher: one datagram as it arrives from any computer, decoded and acted on, on an
// owner with both lists. Whatever it says, the two lists stay index for index the same users.
#include "FuzzEnv.h"
#include "core/modAppFnc.h"
#include "core/modNetCmds.h"
#include "platform/Ansi.h"

namespace {
FuzzEnv::Env* env;
TestOwner* owner;
RouterRecorder* router;
const QString S(modGlobals::kSep);
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Answers go out on loopback, to a port no test listens on.
    env = &FuzzEnv::init(TestEnv::Loopback);
    auto& s = modGlobals::Sets();
    s.UNAME = QStringLiteral("Me");
    s.UPN = QStringLiteral("555-0100");
    owner = new TestOwner(TestOwner::Main);
    router = new RouterRecorder;
    modNetCmds::OpenNetCom(owner, QStringLiteral("Me"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzEnv::forget(*env);
    router->calls.clear();
    // Each input starts from the same list, so a finding reproduces from its input alone.
    owner->names.Clear();
    owner->records.Clear();
    modNetCmds::ParseData(QStringLiteral("Ann") + S + QStringLiteral("C255"));

    modNetCmds::ParseData(Ansi::decode(FuzzEnv::bytes(data, size)));

    FuzzEnv::check(owner->names.ListCount() == owner->records.ListCount(), "lists differ in length");
    for (int i = 0; i < owner->records.ListCount(); ++i) {
        const QString rec = owner->records.List(i);
        FuzzEnv::check(modAppFnc::CountStr(rec, S) == 6, "a record without six fields");
        FuzzEnv::check(modAppFnc::GetField(rec, 1, modGlobals::kSep) == owner->names.List(i),
                       "a record beside another user's name");
    }
    return 0;
}
