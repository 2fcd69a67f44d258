# Host build: the fake platform and the unit tests (GoogleTest from the system).
file(GLOB KV_FAKE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/fake/*.cpp)
add_library(klikvane_fake STATIC ${KV_FAKE_SOURCES})
target_link_libraries(klikvane_fake PUBLIC klikvane_core)

find_package(GTest REQUIRED)
file(GLOB KV_HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(host_tests ${KV_HOST_TESTS})
target_link_libraries(host_tests PRIVATE klikvane_fake GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60)

file(GLOB KV_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/host_*.cpp)
foreach(src IN LISTS KV_BENCH_SOURCES)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE klikvane_fake)
endforeach()

# The scripts that choose the Windows build and its wine prefix.
add_test(NAME scripts.win_arch COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/win_arch_test.sh)
