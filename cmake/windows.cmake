# Windows build: Klikvane.exe, the Win32 platform and the integration tests.
# Everything is linked statically so the program needs only Windows' own DLLs.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

file(GLOB KV_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp)
add_library(klikvane_win32 STATIC ${KV_WIN32_SOURCES})
target_link_libraries(klikvane_win32 PUBLIC klikvane_core comctl32 comdlg32 gdi32 imm32 user32 shell32 ole32 advapi32 version winmm)

add_executable(Klikvane WIN32 ${CMAKE_SOURCE_DIR}/src/klikvane_main.cpp)
target_sources(Klikvane PRIVATE ${CMAKE_SOURCE_DIR}/res/klikvane.rc)
# windres reports no dependencies: a changed icon, picture or manifest must
# still rebuild the resources.
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/klikvane.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/klikvane.ico;${CMAKE_SOURCE_DIR}/res/about.bmp;${CMAKE_SOURCE_DIR}/res/klikvane.manifest")
target_link_libraries(Klikvane PRIVATE klikvane_win32)
# The shipped program carries no symbols: a smaller download, same code.
target_link_options(Klikvane PRIVATE -municode $<$<CONFIG:Release>:-s>)
set_target_properties(Klikvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# GoogleTest built from the system's sources with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
# It is built with the compiler's own flags, not the program's.
get_directory_property(kv_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${kv_options}")

# Each integration test source is its own program, run under wine once per
# code page (936 and 1252); tools/wine-run.sh sets up the prefix and display.
set(KV_WINE_LANGS "zh_CN.UTF-8" "C.UTF-8")
file(GLOB KV_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
file(GLOB KV_WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/support/*.cpp)
add_library(win_test_support STATIC ${KV_WIN_TEST_SUPPORT})
target_link_libraries(win_test_support PUBLIC klikvane_win32 gtest psapi)
target_include_directories(win_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/win)
foreach(src IN LISTS KV_WIN_TESTS)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE win_test_support gtest_main)
    target_link_options(${name} PRIVATE -mconsole)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    add_dependencies(${name} Klikvane)
    foreach(lang IN LISTS KV_WINE_LANGS)
        add_test(NAME "${name}[${lang}]"
                 COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:${name}>)
        set_tests_properties("${name}[${lang}]" PROPERTIES
            ENVIRONMENT "LANG=${lang};KV_EXE=$<TARGET_FILE:Klikvane>"
            RESOURCE_LOCK wine TIMEOUT 300)
    endforeach()
endforeach()

file(GLOB KV_WIN_BENCH CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/win_*.cpp)
foreach(src IN LISTS KV_WIN_BENCH)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE win_test_support psapi)
    target_link_options(${name} PRIVATE -mconsole)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endforeach()
