#include "platform/linux/SystemPpdevCalls.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quenlor {

namespace {

int result(int rc) {
    return rc < 0 ? -errno : rc;
}

}  // namespace

std::vector<std::string> SystemPpdevCalls::listDirectory(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(path, ec), end; !ec && it != end;
         it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    return names;
}

std::optional<std::string> SystemPpdevCalls::readText(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SystemPpdevCalls::owningGroup(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    const group* g = getgrgid(info.st_gid);
    return g != nullptr ? g->gr_name : std::string();
}

int SystemPpdevCalls::openDevice(const std::string& path) {
    return result(open(path.c_str(), O_RDWR | O_CLOEXEC));
}

int SystemPpdevCalls::exclusive(int fd) {
    return result(ioctl(fd, PPEXCL));
}

int SystemPpdevCalls::claim(int fd) {
    return result(ioctl(fd, PPCLAIM));
}

void SystemPpdevCalls::release(int fd) {
    ioctl(fd, PPRELEASE);
}

void SystemPpdevCalls::closeDevice(int fd) {
    close(fd);
}

int SystemPpdevCalls::writeData(int fd, std::uint8_t value) {
    unsigned char byte = value;
    return result(ioctl(fd, PPWDATA, &byte));
}

int SystemPpdevCalls::readStatus(int fd, std::uint8_t& value) {
    unsigned char byte = 0;
    const int rc = result(ioctl(fd, PPRSTATUS, &byte));
    value = byte;
    return rc;
}

}  // namespace quenlor
