// The registry for host tests: values in memory, and writes and deletes the
// test can make fail as for a user without rights.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include "platform/registry.h"

namespace kv::platform::fake {

class FakeRegistry : public Registry {
public:
    RegistryStatus readString(RegistryRoot root, std::string_view key, std::string_view name,
                              std::string& data) const override;
    RegistryStatus writeString(RegistryRoot root, std::string_view key, std::string_view name,
                               std::string_view data) override;
    RegistryStatus deleteValue(RegistryRoot root, std::string_view key,
                               std::string_view name) override;

    // Writes and deletes answer this instead of ok while it is not ok.
    void refuseChanges(RegistryStatus status);
    // A value that holds no string (a number, say).
    void putOtherType(RegistryRoot root, std::string_view key, std::string_view name);
    // The string held, or nullopt when there is none.
    std::optional<std::string> stringAt(RegistryRoot root, std::string_view key,
                                        std::string_view name) const;
    int changeCount() const;

private:
    using Path = std::tuple<RegistryRoot, std::string, std::string>;
    struct Value {
        bool isString;
        std::string data;
    };
    static Path pathOf(RegistryRoot root, std::string_view key, std::string_view name);

    mutable std::mutex mutex_;
    std::map<Path, Value> values_;
    RegistryStatus refusal_ = RegistryStatus::ok;
    int changes_ = 0;
};

}  // namespace kv::platform::fake
