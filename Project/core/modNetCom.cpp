#include "core/modNetCom.h"

#include "core/modAppFnc.h"
#include "platform/Identity.h"

QString modNetCom::GetLogonName() {
    return modAppFnc::ProperCase(Identity::logonName());
}
QString modNetCom::GetCompName() {
    return Identity::computerName();
}
