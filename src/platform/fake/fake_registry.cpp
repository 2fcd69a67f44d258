#include "platform/fake/fake_registry.h"

#include <cctype>

namespace kv::platform::fake {
namespace {

// The registry ignores the case of key and value names.
std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x80) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

}  // namespace

FakeRegistry::Path FakeRegistry::pathOf(RegistryRoot root, std::string_view key,
                                        std::string_view name) {
    return {root, folded(key), folded(name)};
}

RegistryStatus FakeRegistry::readString(RegistryRoot root, std::string_view key,
                                        std::string_view name, std::string& data) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(pathOf(root, key, name));
    if (it == values_.end()) {
        return RegistryStatus::missing;
    }
    if (!it->second.isString) {
        return RegistryStatus::wrongType;
    }
    data = it->second.data;
    return RegistryStatus::ok;
}

RegistryStatus FakeRegistry::writeString(RegistryRoot root, std::string_view key,
                                         std::string_view name, std::string_view data) {
    std::lock_guard lock(mutex_);
    if (refusal_ != RegistryStatus::ok) {
        return refusal_;
    }
    values_[pathOf(root, key, name)] = Value{true, std::string(data)};
    ++changes_;
    return RegistryStatus::ok;
}

RegistryStatus FakeRegistry::deleteValue(RegistryRoot root, std::string_view key,
                                         std::string_view name) {
    std::lock_guard lock(mutex_);
    if (refusal_ != RegistryStatus::ok) {
        return refusal_;
    }
    if (values_.erase(pathOf(root, key, name)) == 0) {
        return RegistryStatus::missing;
    }
    ++changes_;
    return RegistryStatus::ok;
}

void FakeRegistry::refuseChanges(RegistryStatus status) {
    std::lock_guard lock(mutex_);
    refusal_ = status;
}

void FakeRegistry::putOtherType(RegistryRoot root, std::string_view key, std::string_view name) {
    std::lock_guard lock(mutex_);
    values_[pathOf(root, key, name)] = Value{false, std::string("\x01\x00\x00\x00", 4)};
}

std::optional<std::string> FakeRegistry::stringAt(RegistryRoot root, std::string_view key,
                                                  std::string_view name) const {
    std::string data;
    if (readString(root, key, name, data) != RegistryStatus::ok) {
        return std::nullopt;
    }
    return data;
}

int FakeRegistry::changeCount() const {
    std::lock_guard lock(mutex_);
    return changes_;
}

}  // namespace kv::platform::fake
