#pragma once
// Runs a test executable from a copy of itself in a fresh folder, so that the folder of the
// running executable, where the programs lie, is one the tests may fill, apart from the data
// folder the guard makes (QX3_HOME): as when the messenger starts a companion program with
// QX3_HOME set. Instead of QTEST_MAIN:
//
//   QX3_TEST_MAIN_FROM_COPY(TestUpdate)
//   ...
//   TestEnv::FromCopy::empty();   // each init(): the folder holds the executable alone again
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtTest>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace TestEnv {

class FromCopy {
  public:
    // In the original process: copies the executable into a new folder and runs the copy in its
    // place (it never returns). In the copy: takes charge of its folder, removed at the end.
    explicit FromCopy(char** argv) {
        if (const char* dir = std::getenv(kVariable)) {
            dir_ = dir;
            return;
        }
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path self = fs::read_symlink("/proc/self/exe", ec);
        const char* tmp = std::getenv("TMPDIR");
        std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/qx3-programs-XXXXXX";
        if (ec || !::mkdtemp(folder.data())) fail("no folder for the copy");
        const fs::path copy = fs::path(folder) / self.filename();
        if (!fs::copy_file(self, copy, ec)) fail("cannot copy the test executable");
        ::setenv(kVariable, folder.c_str(), 1);
        ::execv(copy.c_str(), argv);
        fail("cannot run the copy");
    }
    ~FromCopy() {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    FromCopy(const FromCopy&) = delete;
    FromCopy& operator=(const FromCopy&) = delete;

    // The folder of the running executable.
    static QString folder() { return QCoreApplication::applicationDirPath(); }
    // Removes everything from it but the executable.
    static void empty() {
        QDir dir(folder());
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        for (const QFileInfo& e : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (e.fileName() == self) continue;
            if (e.isDir() && !e.isSymLink())
                QDir(e.absoluteFilePath()).removeRecursively();
            else
                QFile::remove(e.absoluteFilePath());
        }
    }

  private:
    static constexpr const char* kVariable = "QX3_TEST_COPY_DIR";
    [[noreturn]] static void fail(const char* what) {
        std::fprintf(stderr, "%s: %s\n", what, std::strerror(errno));
        std::exit(1);
    }
    std::string dir_;
};

} // namespace TestEnv

#define QX3_TEST_MAIN_FROM_COPY(TestObject)                                                                  \
    QTEST_MAIN_WRAPPER(TestObject, const TestEnv::FromCopy fromCopy(argv); QTEST_MAIN_SETUP())
#define QX3_TEST_GUILESS_MAIN_FROM_COPY(TestObject)                                                          \
    QTEST_MAIN_WRAPPER(TestObject, const TestEnv::FromCopy fromCopy(argv); QTEST_QAPP_SETUP(QCoreApplication))
