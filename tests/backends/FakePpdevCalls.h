#pragma once

#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "platform/linux/PpdevCalls.h"

namespace quenlor {

// A /proc and /dev of parallel ports in memory, recording the port writes.
class FakePpdevCalls : public PpdevCalls {
  public:
    std::map<std::string, std::vector<std::string>> directories;
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> groups;
    std::map<std::string, int> openErrors;  // device -> errno
    int exclusiveError = 0;
    int claimError = 0;
    int statusError = 0;
    std::uint8_t status = 0;

    std::vector<std::string> opened;
    std::vector<int> claimed, released, closed;
    std::vector<std::string> requests;  // the ioctls in the order made
    std::vector<std::uint8_t> dataWrites;
    int statusReads = 0;

    void addPort(const std::string& name, const std::string& baseAddr) {
        directories["/proc/sys/dev/parport"].push_back(name);
        files["/proc/sys/dev/parport/" + name + "/base-addr"] = baseAddr;
    }

    std::vector<std::string> listDirectory(const std::string& path) override {
        auto it = directories.find(path);
        return it == directories.end() ? std::vector<std::string>{} : it->second;
    }
    std::optional<std::string> readText(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    std::string owningGroup(const std::string& path) override {
        auto it = groups.find(path);
        return it == groups.end() ? std::string() : it->second;
    }
    int openDevice(const std::string& path) override {
        opened.push_back(path);
        auto it = openErrors.find(path);
        if (it != openErrors.end())
            return -it->second;
        return 40 + static_cast<int>(opened.size());
    }
    int exclusive(int) override {
        requests.push_back("PPEXCL");
        return exclusiveError != 0 ? -exclusiveError : 0;
    }
    int claim(int fd) override {
        requests.push_back("PPCLAIM");
        claimed.push_back(fd);
        return claimError != 0 ? -claimError : 0;
    }
    void release(int fd) override {
        requests.push_back("PPRELEASE");
        released.push_back(fd);
    }
    void closeDevice(int fd) override { closed.push_back(fd); }
    int writeData(int, std::uint8_t value) override {
        dataWrites.push_back(value);
        return 0;
    }
    int readStatus(int, std::uint8_t& value) override {
        ++statusReads;
        if (statusError != 0)
            return -statusError;
        value = status;
        return 0;
    }
};

}  // namespace quenlor
