#include "LangChooser.h"

#include "modAppFnc.h"

namespace {
LangChooser::ShowFn& chooser() {
    static LangChooser::ShowFn f;
    return f;
}
} // namespace

void LangChooser::SetHandler(ShowFn show) { chooser() = std::move(show); }

void modAppFnc::ShowLangDialog(QWidget* caller) {
    // A copy: applying a language may end the program or replace the chooser meanwhile.
    const LangChooser::ShowFn show = chooser();
    if (show) show(caller);
}
