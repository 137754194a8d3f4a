#include "platform/Dialogs.h"

#include <QFileDialog>

namespace {
// With the details hidden the dialog names the chosen filter by its description alone.
int filterIndex(const QStringList& filters, const QString& chosen) {
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& f = filters.at(i);
        const qsizetype group = f.lastIndexOf(QLatin1Char('('));
        if (chosen == f || (group >= 0 && chosen == f.left(group).simplified()))
            return static_cast<int>(i + 1);
    }
    return 0;
}

class QtDialogs : public Dialogs::Service {
  public:
    Dialogs::FileAnswer chooseFile(const Dialogs::FileRequest& request) override {
        QFileDialog dlg(request.owner, request.title, request.folder);
        const bool save = request.mode == Dialogs::FileRequest::Mode::Save;
        dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // The descriptions are shown as they were written; the last "(...)" group holds the patterns.
        dlg.setOption(QFileDialog::HideNameFilterDetails, true);
        if (!request.filters.isEmpty()) dlg.setNameFilters(request.filters);
        if (!request.file.isEmpty()) dlg.selectFile(request.file);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
        return {dlg.selectedFiles().constFirst(), filterIndex(request.filters, dlg.selectedNameFilter())};
    }

    QString chooseFolder(const QString& start, const QString& title) override {
        return QFileDialog::getExistingDirectory(nullptr, title, start, QFileDialog::ShowDirsOnly);
    }
};

} // namespace

Slot<Dialogs::Service>& Dialogs::service() {
    static QtDialogs builtIn;
    static Slot<Service> slot(builtIn);
    return slot;
}
