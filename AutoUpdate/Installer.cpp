#include "AutoUpdate/Installer.h"

#include "AutoUpdate/modListSort.h"
#include "AutoUpdate/modRunExe.h"
#include "platform/Inet.h"
#include "platform/ProgramFolder.h"
#include "platform/SafePath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <sys/stat.h>

namespace AutoUpdate {

namespace {
using modListSort::Field;

// A skin image's extension: a point and a plain name (".bmp").
bool isPlainExtension(const QString& ext) {
    return ext.size() >= 2 && ext.startsWith(QLatin1Char('.')) && SafePath::IsPlainName(ext);
}

// Installed files get the rights a new file of the user gets; programs may be run.
void setInstalledMode(const QString& path) {
    QFile f(path);
    const bool program = f.open(QIODevice::ReadOnly) && modRunExe::IsProgram(f.read(4));
    f.close();
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(path).constData(), (program ? 0777 : 0666) & ~mask);
}

void removeRegularFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile() && !info.isSymLink()) QFile::remove(path);
}
} // namespace

Installer::Installer(Inet& transfer, Listener& listener, QObject* parent)
    : QObject(parent), transfer_(transfer), listener_(listener) {}

QString Installer::Destination(const QString& record) {
    return modListSort::ProgramPath(modListSort::RootOf(record), Field(record, 4), {},
                                    modListSort::FileNameFromUrl(Field(record, 3)));
}

QString Installer::ProgressText(qint16 percent) {
    return QString::number(percent) + QStringLiteral("% downloaded");
}

Installer::Result Installer::Install(const QString& record, bool skins) {
    running_ = true;
    percent_ = 0;
    listener_.status(QStringLiteral("Downloading file"));
    for (const QString& sub : {QStringLiteral("Lang"), QStringLiteral("Skins")})
        QDir().mkpath(SafePath::JoinFolders(ProgramFolder::path(), {sub}));
    // Names from the list are checked before anything is asked of the server.
    const QString destination = Destination(record);
    if (!destination.isEmpty()) QDir().mkpath(QFileInfo(destination).absolutePath());

    const QPointer<Installer> self(this);
    bool ok = false;
    if (!destination.isEmpty())
        ok = skins ? installSkin(record, destination) : installUpdate(record, destination);
    if (!self) return Result::Stopped;
    const bool stopped = !running_;
    running_ = false;
    if (stopped) {
        // Every file written went to a temporary file, which is gone now.
        listener_.status(QStringLiteral("Download canceled"));
        return Result::Stopped;
    }
    if (!ok) {
        listener_.status(QStringLiteral("Download failed"));
        return Result::Failed;
    }
    listener_.status(QStringLiteral("Download complete"));
    return Result::Installed;
}

void Installer::Stop() {
    transfer_.Cancel();
    running_ = false;
}

bool Installer::downloadTo(const QString& url, QSaveFile& file) {
    const QPointer<Installer> self(this);
    transfer_.ClearError();
    transfer_.URL = url;
    transfer_.Execute(QStringLiteral("GET"));
    while (self && transfer_.StillExecuting())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (!self) return false;
    bool ok = false;
    qint64 total = transfer_.GetHeader(QStringLiteral("Content-Length")).trimmed().toLongLong(&ok);
    if (!ok || total < 0) total = 0;
    qint64 count = 0;
    for (;;) {
        const QByteArray chunk = transfer_.GetChunk(1024);
        if (!self) return false;
        if (chunk.isEmpty()) break;
        if (file.write(chunk) != chunk.size()) {
            transfer_.Cancel();
            return false;
        }
        count += chunk.size();
        if (total > 0) {
            const auto per = static_cast<qint16>(qMin<qint64>(count * 100 / total, 100));
            if (per != percent_) {
                percent_ = per;
                listener_.progress(per, ProgressText(per));
            }
        }
        QCoreApplication::processEvents();
        if (!self || !running_) return false;
    }
    return running_ && transfer_.Error().isEmpty() && (total == 0 || count == total);
}

bool Installer::installUpdate(const QString& record, const QString& destination) {
    QSaveFile file(destination);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!downloadTo(QStringLiteral("http://") + Field(record, 3), file) || !file.commit()) return false;
    setInstalledMode(destination);
    // The file this one replaces under another name goes.
    const QString old = modListSort::ProgramPath(modListSort::RootOf(record), Field(record, 4), {},
                                                 modListSort::FileNameFromUrl(Field(record, 5)));
    if (!old.isEmpty() && QFileInfo(old) != QFileInfo(destination)) removeRegularFile(old);
    return true;
}

bool Installer::installSkin(const QString& record, const QString& destination) {
    const QString ext = modListSort::FileNameFromUrl(Field(record, 9));
    if (!isPlainExtension(ext)) return false;
    const QString source = QStringLiteral("http://") + Field(record, 3);
    const QPointer<Installer> self(this);
    const std::optional<QByteArray> skin = transfer_.OpenURL(source + QStringLiteral(".qxs"));
    if (!self || !running_ || !skin) return false;
    QSaveFile image(destination + ext);
    if (!image.open(QIODevice::WriteOnly) || !downloadTo(source + ext, image)) return false;
    QSaveFile qxs(destination + QStringLiteral(".qxs"));
    if (!qxs.open(QIODevice::WriteOnly) || qxs.write(*skin) != skin->size()) return false;
    // Both arrived: the picture and the skin file go in together.
    if (!image.commit() || !qxs.commit()) return false;
    setInstalledMode(destination + ext);
    setInstalledMode(destination + QStringLiteral(".qxs"));
    return true;
}

} // namespace AutoUpdate
