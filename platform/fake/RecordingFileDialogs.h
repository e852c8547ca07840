#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileDialogs.h"

namespace quenlor {

// Answers file dialogs from a queue (cancel once it runs out) and records
// each one asked: its title and the folder it would have opened in.
class RecordingFileDialogs : public FileDialogs {
  public:
    struct Asked {
        std::string title;
        std::filesystem::path folder;
        bool save = false;
    };

    std::deque<std::filesystem::path> answers;
    std::vector<Asked> asked;

    std::filesystem::path openFileName(const std::string& title,
                                       const std::filesystem::path& folder,
                                       const std::string&) override {
        return Answer({title, folder, false});
    }
    std::filesystem::path saveFileName(const std::string& title,
                                       const std::filesystem::path& folder,
                                       const std::string&) override {
        return Answer({title, folder, true});
    }

  private:
    std::filesystem::path Answer(Asked a) {
        asked.push_back(std::move(a));
        if (answers.empty())
            return {};
        std::filesystem::path p = answers.front();
        answers.pop_front();
        return p;
    }
};

}  // namespace quenlor
