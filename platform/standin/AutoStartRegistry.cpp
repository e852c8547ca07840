#include "platform/standin/AutoStartRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace quenlor {

namespace {

std::string folded(const std::string& name) {
    std::string out = name;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

AutoStartRegistry::AutoStartRegistry() {
    Value start{kTypeDword, {2, 0, 0, 0}};
    keys_[folded(kGiveioServiceKey)][folded("Start")] = start;
}

std::int32_t AutoStartRegistry::openKey(const std::string& subKey, std::uint32_t access, Key& key) {
    const std::string path = folded(subKey);
    if (keys_.find(path) == keys_.end())
        return kNotFound;
    key = nextKey_++;
    open_[key] = OpenKey{path, access};
    return kSuccess;
}

std::int32_t AutoStartRegistry::queryValue(Key key, const std::string& name, std::uint32_t& type,
                                           std::uint8_t* data, std::uint32_t& size) {
    const auto handle = open_.find(key);
    if (handle == open_.end())
        return kInvalidHandle;
    if ((handle->second.access & kAccessQuery) == 0)
        return kAccessDenied;
    const Values& values = keys_[handle->second.path];
    const auto value = values.find(folded(name));
    if (value == values.end())
        return kNotFound;
    const auto needed = static_cast<std::uint32_t>(value->second.bytes.size());
    type = value->second.type;
    if (data == nullptr) {
        size = needed;
        return kSuccess;
    }
    if (size < needed) {
        size = needed;
        return kMoreData;
    }
    if (needed > 0)
        std::memcpy(data, value->second.bytes.data(), needed);
    size = needed;
    return kSuccess;
}

std::int32_t AutoStartRegistry::setValue(Key key, const std::string& name, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t size) {
    const auto handle = open_.find(key);
    if (handle == open_.end())
        return kInvalidHandle;
    if ((handle->second.access & kAccessSetValue) == 0)
        return kAccessDenied;
    Value value{type, {}};
    if (data != nullptr && size > 0)
        value.bytes.assign(data, data + size);
    keys_[handle->second.path][folded(name)] = std::move(value);
    return kSuccess;
}

std::int32_t AutoStartRegistry::closeKey(Key key) {
    return open_.erase(key) == 1 ? kSuccess : kInvalidHandle;
}

}  // namespace quenlor
