#include "modNetCom.h"

#include "Identity.h"
#include "modAppFnc.h"

QString modNetCom::GetLogonName() { return modAppFnc::ProperCase(Identity::logonName()); }
QString modNetCom::GetCompName() { return Identity::computerName(); }
