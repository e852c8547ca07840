#include "ui/QtAppDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <system_error>

namespace quenlor {

namespace {

std::filesystem::path FromQt(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.empty() || b.empty())
        return false;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

}  // namespace

QtAppDirectory::QtAppDirectory() : QtAppDirectory(QtLocations(), &CanCreateFileIn) {}

QtAppDirectory::QtAppDirectory(Locations locations, const WritableCheck& writable)
    : where_(std::move(locations)),
      installed_(SameFolder(where_.program, where_.installedBin) || !writable(where_.program)) {
    // Without a home to put them in, the files stay where they always were.
    if (where_.userConfig.empty() || where_.userData.empty())
        installed_ = false;
}

std::filesystem::path QtAppDirectory::settingsDirectory() const {
    if (!installed_)
        return where_.program;
    // The user's folder on the first save; a failure shows as the save's own.
    std::error_code ec;
    std::filesystem::create_directories(where_.userConfig, ec);
    return where_.userConfig;
}

std::filesystem::path QtAppDirectory::settingsSource(const std::string& fileName) const {
    std::error_code ec;
    if (installed_ && !std::filesystem::exists(where_.userConfig / fileName, ec))
        return where_.program;
    return settingsDirectory();
}

std::filesystem::path QtAppDirectory::dataDirectory() const {
    return installed_ ? where_.userData : where_.program;
}

bool QtAppDirectory::CanCreateFileIn(const std::filesystem::path& dir) {
    QTemporaryFile probe(QDir(QString::fromStdU16String(dir.u16string()))
                             .filePath(QStringLiteral(".quenlor-eval-write-test-XXXXXX")));
    return probe.open();  // removed again when `probe` goes
}

QtAppDirectory::Locations QtAppDirectory::QtLocations() {
    Locations where;
    where.program = FromQt(QCoreApplication::applicationDirPath());
    where.userConfig = FromQt(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        where.userData = FromQt(QDir(documents).filePath(QStringLiteral("quenlor-eval")));
#ifdef QUENLOR_INSTALL_BINDIR
    where.installedBin = QUENLOR_INSTALL_BINDIR;
#endif
    return where;
}

}  // namespace quenlor
