// The "Klikvane" value under HKLM's Run key that starts the program with
// Windows. Its data names Klikvane.exe in the program's directory, in
// double quotes when the path holds a space (unquoted, Windows would try
// "C:\Program.exe" first).
#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"

namespace kv::schedule {

inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "Klikvane";

// The command line the entry holds for a program in this directory.
std::string autoStartCommand(const std::string& programDirectory);

class AutoStartEntry {
public:
    AutoStartEntry(platform::Registry& registry, std::string programDirectory);

    // The entry holds exactly this program's command line. An entry naming
    // another path (the program moved) does not count.
    bool isPresent() const;
    // What the value holds now: nullopt when there is none, or it cannot be read.
    std::optional<std::string> currentData() const;

    platform::RegistryStatus write();
    platform::RegistryStatus remove();
    // Puts back what currentData() gave earlier.
    void restore(const std::optional<std::string>& data);

private:
    platform::Registry& registry_;
    std::string command_;
};

}  // namespace kv::schedule
