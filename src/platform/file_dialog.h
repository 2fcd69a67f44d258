// The system's open-file dialog, as the user sees it: no title, filter or
// starting folder of its own, an empty file name.
#pragma once

#include <string>

namespace kv::platform {

struct FileChoice {
    enum class Status {
        chosen,
        cancelled,
        // The path has characters the program's GBK texts cannot hold.
        notRepresentable,
        failed,
    };
    Status status = Status::cancelled;
    std::string path;  // GBK, when chosen
};

}  // namespace kv::platform
