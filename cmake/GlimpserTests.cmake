# Test, fuzz and benchmark executables. Each helper may be called several times with the
# same name: later calls add sources to the executable made by the first.

if(DEFINED GLIMPSER_GTEST_SOURCE_DIR)
elseif(EXISTS /usr/src/googletest/CMakeLists.txt)
    set(GLIMPSER_GTEST_SOURCE_DIR /usr/src/googletest)
else()
    message(FATAL_ERROR "GoogleTest sources not found; run scripts/setup.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GLIMPSER_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(GLIMPSER_TEST_TIMEOUT 900)

# Sets glimpser_test_new in the caller: whether this call made the executable.
function(glimpser_test_executable name)
    if(TARGET ${name})
        target_sources(${name} PRIVATE ${ARGN})
        set(glimpser_test_new FALSE PARENT_SCOPE)
        return()
    endif()
    set(glimpser_test_new TRUE PARENT_SCOPE)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE glimpser_warnings gtest)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${GLIMPSER_TEST_TIMEOUT})
endfunction()

# Portable rules: run natively under the sanitizers and, in the cross tree, under Wine.
function(glimpser_rules_test name)
    glimpser_test_executable(${name} ${ARGN})
    if(glimpser_test_new)
        target_link_libraries(${name} PRIVATE glimpser_rules tessel gtest_main)
    endif()
endfunction()

# Platform tests: real windows, registry and files, under Wine on the test display.
function(glimpser_win_test name)
    if(NOT WIN32)
        return()
    endif()
    glimpser_test_executable(${name} ${ARGN})
    if(glimpser_test_new)
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/win_test_main.cpp
            $<TARGET_OBJECTS:glimpser_resources>)
        target_link_libraries(${name} PRIVATE glimpser_test_support glimpser_win)
    endif()
endfunction()

# libFuzzer targets: native clang only; the test run gives each a bounded time.
function(glimpser_fuzz_target name)
    if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        return()
    endif()
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE glimpser_rules tessel glimpser_warnings)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${GLIMPSER_FUZZ_SECONDS} -timeout=10
        -rss_limit_mb=2048 -print_final_stats=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
set(GLIMPSER_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs in the test suite")

# Benchmarks print figures; they are built with the tests but never run by ctest.
function(glimpser_win_bench name)
    if(NOT WIN32)
        return()
    endif()
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE glimpser_win glimpser_warnings)
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:glimpser_resources>)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src
        ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE glimpser_test_support)
endfunction()

# Benchmarks of portable code, built natively; bench/deflate_bench.sh runs them from a tree built
# for speed, without the sanitizers.
function(glimpser_native_bench name)
    if(WIN32)
        return()
    endif()
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE glimpser_rules tessel glimpser_warnings)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
endfunction()
