#include "core/modNetCom.h"

#include "platform/Identity.h"
#include "core/modAppFnc.h"

QString modNetCom::GetLogonName() { return modAppFnc::ProperCase(Identity::logonName()); }
QString modNetCom::GetCompName() { return Identity::computerName(); }
