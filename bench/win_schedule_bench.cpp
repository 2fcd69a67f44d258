// The timed start's cost on the real desktop.
//
//  - Microseconds per scheduleTick (one read of 配置.ini, the countdown
//    label written when its text changes) with a 200-byte file and with a
//    1 MB one, in this process against a real main window.
//  - Processor time of the shipped program left idle with a timed start
//    armed (its label counting down twice a second), for 10 minutes, then
//    with nothing armed for comparison; `win_schedule_bench.exe 60` for one
//    minute each, `win_schedule_bench.exe 600 120` for 10 and 2 minutes.
//
//   tools/wine-run.sh build/win64/bin/win_schedule_bench.exe [armed-s [unarmed-s]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/klikvane.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_files.h"
#include "schedule/timed_start.h"
#include "steps/ini_file.h"
#include "steps/settings_file.h"
#include "support/cpu_time.h"
#include "support/program_process.h"
#include "support/pump.h"

namespace {

using namespace kv;
namespace settings = steps::settings;

double nowUs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Armed for an hour from now, so every tick shows a new countdown.
std::vector<steps::SettingWrite> armedAnHourAhead() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {{settings::kScheduleSection, settings::kEnabledKey, "是"},
            {settings::kScheduleSection, settings::kHourKey, std::to_string((now.wHour + 1) % 24)},
            {settings::kScheduleSection, settings::kMinuteKey, std::to_string(now.wMinute)},
            {settings::kScheduleSection, settings::kSecondKey, std::to_string(now.wSecond)}};
}

void measureTicks() {
    platform::win32::Win32Desktop desktop;
    app::Klikvane program(desktop);
    platform::Window* main = program.openMainWindow();
    test::pumpFor(200);
    platform::win32::Win32Files files;
    const std::string directory = desktop.programDirectory();
    const std::string path = steps::settingsPath(directory);
    schedule::TimedStart timedStart(desktop);
    for (const std::size_t padding : {std::size_t{0}, std::size_t{1} << 20}) {
        files.removeFile(path);
        // The file the schedule window leaves (about 200 bytes), or that
        // with a megabyte of other settings before it.
        if (padding > 0) {
            files.writeFile(path, "[填充]\r\n" + std::string(padding, 'a') + "=1\r\n");
        }
        steps::createScheduleSettings(files, directory);
        std::vector<steps::SettingWrite> writes = armedAnHourAhead();
        writes.push_back({settings::kRunProgramSection, settings::kProgramPathKey,
                          "C:\\Program Files\\工具目录\\每天运行的程序.exe"});
        writes.push_back(
            {settings::kAutoStartSection, settings::kEnabledKey, std::string(settings::kYes)});
        steps::writeSettings(files, directory, writes);
        std::string bytes;
        files.readFile(path, bytes, std::size_t{1} << 30);
        const int ticks = padding == 0 ? 2000 : 100;
        const double start = nowUs();
        for (int i = 0; i < ticks; ++i) {
            timedStart.tick(*main, [] {});
        }
        const double perTick = (nowUs() - start) / ticks;
        // Its parts: the read, and finding the four keys in what was read.
        const double readStart = nowUs();
        for (int i = 0; i < ticks; ++i) {
            steps::readSettingsText(files, directory);
        }
        const double perRead = (nowUs() - readStart) / ticks;
        const double findStart = nowUs();
        std::size_t found = 0;
        for (int i = 0; i < ticks; ++i) {
            const std::string_view section =
                steps::ini::sectionText(bytes, settings::kScheduleSection);
            for (const std::string_view key : {settings::kEnabledKey, settings::kHourKey,
                                               settings::kMinuteKey, settings::kSecondKey}) {
                found += steps::settingIn(section, settings::kScheduleSection, key).size();
            }
        }
        const double perFind = (nowUs() - findStart) / ticks;
        std::printf(
            "scheduleTick with a %zu-byte 配置.ini: %.1f us per tick (%d ticks); of it the "
            "file read %.1f us, the four keys found %.1f us (%zu)\n",
            bytes.size(), perTick, ticks, perRead, perFind,
            found / static_cast<std::size_t>(ticks));
    }
    files.removeFile(path);
    main->close();
    test::forgetQuitRequest();
}

void measureIdle(int seconds, bool armed) {
    test::ProgramProcess program(L"带 空格");
    platform::win32::Win32Files files;
    if (armed) {
        steps::writeSettings(files, platform::win32::toGbk(program.directory()),
                             armedAnHourAhead());
    }
    if (!program.start() || program.waitForWindow(L"鼠标自动点击") == nullptr) {
        std::printf("the program did not start\n");
        return;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program.processId());
    auto cpuMs = [&] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(process, &created, &exited, &kernel, &user);
        return test::fileTimeMs(kernel) + test::fileTimeMs(user);
    };
    test::pumpFor(2000);  // start-up is not idle time
    const double cpuStart = cpuMs();
    const double wallStart = nowUs();
    test::pumpFor(static_cast<DWORD>(seconds) * 1000);
    const double cpu = cpuMs() - cpuStart;
    const double wallMs = (nowUs() - wallStart) / 1000.0;
    std::printf("idle program, %s, %d s: %.0f ms of processor time = %.3f %%\n",
                armed ? "a timed start armed" : "nothing armed (for comparison)", seconds, cpu,
                100.0 * cpu / wallMs);
    CloseHandle(process);
}

}  // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const int comparisonSeconds = argc > 2 ? std::atoi(argv[2]) : idleSeconds;
    measureTicks();
    if (idleSeconds > 0) {
        measureIdle(idleSeconds, true);
    }
    if (comparisonSeconds > 0) {
        measureIdle(comparisonSeconds, false);
    }
    return 0;
}
