#pragma once
// The open and save file dialogs. Filters are pairs of description and pattern joined by "|",
// as in "Text Files (*.txt)|*.txt"; the pattern decides which files are listed.
#include <QString>

class QWidget;

namespace modCommonDialog {
// The chosen path, or "" when cancelled. `initialFolder` may also name a file: the dialog then
// opens in that file's folder with the file chosen.
QString ShowSave(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder);
QString ShowOpen(QWidget* owner, const QString& filter, const QString& title, const QString& initialFolder);
// The filter in use when the last save dialog closed: 1 for the first pair, 0 after a cancel.
qint16 LastSaveFilter();
} // namespace modCommonDialog
