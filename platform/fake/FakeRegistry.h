#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace quenlor {

// An in-memory registry under HKEY_LOCAL_MACHINE that answers like the Win32
// calls (2: not found, 6: invalid handle, 234: buffer too small) and records
// every write and every open handle.
class FakeRegistry : public Registry {
  public:
    static constexpr std::int32_t kNotFound = 2;
    static constexpr std::int32_t kInvalidHandle = 6;
    static constexpr std::int32_t kMoreData = 234;
    static constexpr std::int32_t kAccessDenied = 5;

    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };
    struct Write {
        std::string key;
        std::string name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };

    std::map<std::string, std::map<std::string, Value>> keys;
    std::vector<Write> writes;
    // Writes are refused (as without administrator rights).
    bool denyWrites = false;

    void setString(const std::string& key, const std::string& name, const std::string& text) {
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        keys[key][name] = {kTypeSz, data};
    }
    void setDword(const std::string& key, const std::string& name, std::uint32_t v) {
        std::vector<std::uint8_t> data(4);
        std::memcpy(data.data(), &v, 4);
        keys[key][name] = {kTypeDword, data};
    }
    void setRaw(const std::string& key, const std::string& name, std::uint32_t type,
                std::vector<std::uint8_t> data) {
        keys[key][name] = {type, std::move(data)};
    }
    std::optional<Value> value(const std::string& key, const std::string& name) const {
        auto k = keys.find(key);
        if (k == keys.end())
            return std::nullopt;
        auto v = k->second.find(name);
        if (v == k->second.end())
            return std::nullopt;
        return v->second;
    }
    std::size_t openHandles() const { return handles_.size(); }

    std::int32_t openKey(const std::string& subKey, std::uint32_t access, Key& key) override {
        if (keys.find(subKey) == keys.end())
            return kNotFound;
        key = next_++;
        handles_[key] = {subKey, access};
        return 0;
    }
    std::int32_t queryValue(Key key, const std::string& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& size) override {
        auto h = handles_.find(key);
        if (h == handles_.end())
            return kInvalidHandle;
        if ((h->second.access & kAccessQuery) == 0)
            return kAccessDenied;
        auto v = value(h->second.key, name);
        if (!v)
            return kNotFound;
        type = v->type;
        const auto needed = static_cast<std::uint32_t>(v->data.size());
        if (data == nullptr) {
            size = needed;
            return 0;
        }
        if (size < needed) {
            size = needed;
            return kMoreData;
        }
        std::memcpy(data, v->data.data(), needed);
        size = needed;
        return 0;
    }
    std::int32_t setValue(Key key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
        auto h = handles_.find(key);
        if (h == handles_.end())
            return kInvalidHandle;
        if (denyWrites || (h->second.access & kAccessSetValue) == 0)
            return kAccessDenied;
        std::vector<std::uint8_t> bytes(data, data + size);
        writes.push_back({h->second.key, name, type, bytes});
        keys[h->second.key][name] = {type, bytes};
        return 0;
    }
    std::int32_t closeKey(Key key) override {
        return handles_.erase(key) == 1 ? 0 : kInvalidHandle;
    }

  private:
    struct Handle {
        std::string key;
        std::uint32_t access;
    };
    std::map<Key, Handle> handles_;
    Key next_ = 0x100;
};

}  // namespace quenlor
