#include "ui/QtAppDirectory.h"

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
    where.userConfig = FromQt(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    where.userData = documents.isEmpty()
                         ? std::filesystem::path()
                         : FromQt(QDir(documents).filePath(QStringLiteral("quenlor-eval")));
    return where;
}

}  // namespace quenlor
