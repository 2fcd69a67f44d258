#include "schedule/shutdown_step.h"

#include "steps/text_to_int.h"

namespace kv::schedule {

void shutDownComputer(platform::Desktop& desktop) {
    const platform::ExitResult result =
        desktop.systemActions().exitWindows(platform::ExitAction::shutDown, true);
    if (!result.done) {
        desktop.showMessage("任务已完成,但系统拒绝关机(错误代码" +
                                intToText(static_cast<std::int64_t>(result.systemError)) + ")",
                            "提示");
    }
}

}  // namespace kv::schedule
