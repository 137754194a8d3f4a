#pragma once
// How the core reaches the language chooser window: the chooser registers how it is shown,
// and modAppFnc::ShowLangDialog shows it. Without a registered chooser the request does nothing.
#include <functional>

class QWidget;

namespace LangChooser {
// Shows the chooser modally for `caller` and applies the choice.
using ShowFn = std::function<void(QWidget* caller)>;
// An empty function removes the chooser.
void SetHandler(ShowFn show);
} // namespace LangChooser
