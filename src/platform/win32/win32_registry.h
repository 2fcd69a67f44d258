// The real registry through the W API, each key opened for the one call and
// closed by its owner.
#pragma once

#include "platform/registry.h"

namespace kv::platform::win32 {

class Win32Registry : public Registry {
public:
    RegistryStatus readString(RegistryRoot root, std::string_view key, std::string_view name,
                              std::string& data) const override;
    RegistryStatus writeString(RegistryRoot root, std::string_view key, std::string_view name,
                               std::string_view data) override;
    RegistryStatus deleteValue(RegistryRoot root, std::string_view key,
                               std::string_view name) override;
};

}  // namespace kv::platform::win32
