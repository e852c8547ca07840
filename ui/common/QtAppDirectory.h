#pragma once

#include "platform/folders/ProgramFolders.h"

namespace quenlor {

// The program's folders as Qt finds them: the executable's folder, and for an
// installed program the user's configuration folder (QStandardPaths'
// AppConfigLocation) and a "quenlor-eval" folder in the user's documents.
class QtAppDirectory : public ProgramFolders {
  public:
    QtAppDirectory();
    // For tests: given folders and writability check.
    using ProgramFolders::ProgramFolders;

    static Locations QtLocations();
};

}  // namespace quenlor
