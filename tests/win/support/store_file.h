// Step store files beside a program under test: written before it starts,
// read back after it has ended.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "steps/step_record.h"

namespace kv::test {

// directory + "\数据库.edb"
std::wstring storeFileIn(const std::wstring& directory);

// A store holding rows in order, as the program saves it after a first start
// (serials 1 … n, nextSerial n + 1).
bool writeStoreFile(const std::wstring& path, std::span<const steps::StepRecord> rows);

// Every byte of a file, or empty when it cannot be read.
std::string fileBytes(const std::wstring& path);
bool writeFileBytes(const std::wstring& path, const std::string& bytes);

// The list view of a window (its first child of that class).
HWND listViewIn(HWND window);

}  // namespace kv::test
