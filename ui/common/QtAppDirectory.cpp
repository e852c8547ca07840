#include "ui/common/QtAppDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace quenlor {

namespace {

std::filesystem::path FromQt(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

}  // namespace

QtAppDirectory::QtAppDirectory() : ProgramFolders(QtLocations(), &CanCreateFileIn) {}

QtAppDirectory::Locations QtAppDirectory::QtLocations() {
    Locations where = SystemLocations();
    where.program = FromQt(QCoreApplication::applicationDirPath());
#ifndef Q_OS_WIN
    // On Windows Qt's is the local application data; the window keeps to the
    // roaming folder that quenlor-cli reads too.
    where.userConfig = FromQt(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
#endif
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    where.userData = documents.isEmpty()
                         ? std::filesystem::path()
                         : FromQt(QDir(documents).filePath(QStringLiteral("quenlor-eval")));
    return where;
}

}  // namespace quenlor
