#pragma once
// The open, save and folder dialogs, as a service: the built-in one shows Qt's dialogs, tests
// install their own and answer without a screen.
#include "platform/Slot.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace Dialogs {

struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QWidget* owner = nullptr;
    QString title;
    QString folder; // where the dialog opens; "" leaves it to the dialog
    QString file;   // the file chosen beforehand in that folder, or ""
    // Qt name filters. Each ends in the "(patterns)" group that decides what is listed; the
    // description shown is the text before that last group.
    QStringList filters;
};

struct FileAnswer {
    QString path;        // "" when cancelled
    int filterIndex = 0; // the filter in use when the dialog closed, 1 for the first; 0 when cancelled
};

class Service {
  public:
    virtual ~Service() = default;
    virtual FileAnswer chooseFile(const FileRequest& request) = 0;
    // A folder, or "" when cancelled. `start` is the folder the dialog opens on ("" for none).
    virtual QString chooseFolder(const QString& start, const QString& title) = 0;
};

// Qt's dialogs by default; tests answer without a screen.
Slot<Service>& service();

} // namespace Dialogs
