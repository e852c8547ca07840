#include "ui/QtAppDirectory.h"

#include <QCoreApplication>

namespace quenlor {

std::filesystem::path QtAppDirectory::path() const {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String());
}

}  // namespace quenlor
