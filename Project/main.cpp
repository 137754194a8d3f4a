#include "frmImgs.h"
#include "frmMsg.h"
#include "modAppFnc.h"
#include "qx3version.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    frmImgs::Load();
    frmMsg::Install();
    const QString text = QStringLiteral("QX3 %1: the messenger's windows are not built yet; "
                                        "only its network core is.")
                             .arg(QStringLiteral(QX3_VERSION_TEXT));
    std::fprintf(stderr, "%s\n", qPrintable(text));
    modAppFnc::ShowMsg(text, 0, 1);
    return 0;
}
