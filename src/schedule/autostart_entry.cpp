#include "schedule/autostart_entry.h"

namespace kv::schedule {

using platform::RegistryRoot;
using platform::RegistryStatus;

std::string autoStartCommand(const std::string& programDirectory) {
    std::string path = programDirectory + "\\Klikvane.exe";
    if (path.find(' ') != std::string::npos) {
        return "\"" + path + "\"";
    }
    return path;
}

AutoStartEntry::AutoStartEntry(platform::Registry& registry, std::string programDirectory)
    : registry_(registry), command_(autoStartCommand(programDirectory)) {}

std::optional<std::string> AutoStartEntry::currentData() const {
    std::string data;
    const RegistryStatus status =
        registry_.readString(RegistryRoot::localMachine, kRunKey, kRunValueName, data);
    if (status == RegistryStatus::ok) {
        return data;
    }
    if (status == RegistryStatus::wrongType) {
        return std::string();  // there, but not ours
    }
    return std::nullopt;
}

bool AutoStartEntry::isPresent() const {
    return currentData() == command_;
}

RegistryStatus AutoStartEntry::write() {
    const RegistryStatus status =
        registry_.writeString(RegistryRoot::localMachine, kRunKey, kRunValueName, command_);
    if (status != RegistryStatus::ok) {
        return status;
    }
    // Read back: a system that virtualises the key for programs without
    // rights accepts the write and keeps it elsewhere.
    return isPresent() ? RegistryStatus::ok : RegistryStatus::failed;
}

RegistryStatus AutoStartEntry::remove() {
    const RegistryStatus status =
        registry_.deleteValue(RegistryRoot::localMachine, kRunKey, kRunValueName);
    return status == RegistryStatus::missing ? RegistryStatus::ok : status;
}

void AutoStartEntry::restore(const std::optional<std::string>& data) {
    if (data) {
        registry_.writeString(RegistryRoot::localMachine, kRunKey, kRunValueName, *data);
    } else {
        registry_.deleteValue(RegistryRoot::localMachine, kRunKey, kRunValueName);
    }
}

}  // namespace kv::schedule
