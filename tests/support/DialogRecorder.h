#pragma once
// Answers the open, save and folder dialogs without a screen, and keeps what was asked.
#include "platform/Dialogs.h"

struct DialogRecorder : Dialogs::Service {
    int fileCalls = 0;
    Dialogs::FileRequest request;
    Dialogs::FileAnswer answer;
    int folderCalls = 0;
    QString folderStart, folderTitle, folderAnswer;

    Dialogs::FileAnswer chooseFile(const Dialogs::FileRequest& r) override {
        ++fileCalls;
        request = r;
        return answer;
    }
    QString chooseFolder(const QString& start, const QString& title) override {
        ++folderCalls;
        folderStart = start;
        folderTitle = title;
        return folderAnswer;
    }
};

// Installs a recorder for its own lifetime.
struct ScopedDialogRecorder : DialogRecorder {
    ScopedDialogRecorder() { Dialogs::SetService(this); }
    ~ScopedDialogRecorder() override { Dialogs::SetService(nullptr); }
    ScopedDialogRecorder(const ScopedDialogRecorder&) = delete;
    ScopedDialogRecorder& operator=(const ScopedDialogRecorder&) = delete;
};
