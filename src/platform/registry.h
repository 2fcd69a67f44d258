// One string value of the registry: read, write, delete. Key paths and
// values are GBK texts; the real backend calls the W API.
//
//   std::string data;
//   if (registry.readString(RegistryRoot::localMachine, kRunKey, "Klikvane", data) ==
//       RegistryStatus::ok) { ... }
#pragma once

#include <string>
#include <string_view>

namespace kv::platform {

enum class RegistryRoot {
    localMachine,
    currentUser,
};

enum class RegistryStatus {
    ok,
    missing,       // no such key or value
    wrongType,     // the value exists but holds no string
    accessDenied,  // the user lacks the rights
    failed,        // any other failure
};

class Registry {
public:
    virtual ~Registry() = default;

    virtual RegistryStatus readString(RegistryRoot root, std::string_view key,
                                      std::string_view name, std::string& data) const = 0;
    // Creates the key as needed; the value becomes a string (REG_SZ) stored
    // with its terminating NUL, whatever type it had.
    virtual RegistryStatus writeString(RegistryRoot root, std::string_view key,
                                       std::string_view name, std::string_view data) = 0;
    // missing when there was nothing to delete.
    virtual RegistryStatus deleteValue(RegistryRoot root, std::string_view key,
                                       std::string_view name) = 0;
};

}  // namespace kv::platform
