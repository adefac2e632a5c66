# The Windows build: the core, brindlewick-tables.exe and the native window brindlewick.exe,
# each one static executable; the tests that mean something on Windows, run under Wine when
# cross-compiling; and a ZIP with both programs, the README and the LICENSE.

enable_language(RC)

# The command-line parser is header-only. Its headers are copied into the build tree so that
# the cross compiler sees them without seeing the build machine's other headers.
find_path(BRINDLEWICK_CLI11_DIR CLI/CLI.hpp PATHS /usr/include /usr/local/include
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${BRINDLEWICK_CLI11_DIR}/CLI DESTINATION ${CMAKE_BINARY_DIR}/third-party/include)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/third-party/include)

if(BRINDLEWICK_BUILD_TESTS)
    enable_testing()
    # The test programs run under Wine, in a prefix of their own in the build tree.
    if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
        set(CMAKE_CROSSCOMPILING_EMULATOR
            ${PROJECT_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR}/wine-prefix)
    endif()
endif()

add_subdirectory(src)

if(BRINDLEWICK_BUILD_TESTS)
    if(CMAKE_CROSSCOMPILING)
        # Debian ships GoogleTest as sources; they are built with the cross compiler here.
        set(BRINDLEWICK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        add_subdirectory(${BRINDLEWICK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest
                         EXCLUDE_FROM_ALL SYSTEM)
    else()
        find_package(GTest REQUIRED)
    endif()
    add_subdirectory(tests)
endif()

# The ZIP: unpack anywhere and run, nothing to install.
install(TARGETS brindlewick brindlewick-tables RUNTIME DESTINATION .)
# The README for the people who use the programs on Windows, not the developers' README.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME brindlewick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME brindlewick-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# The benchmark of the window's start-up, run by hand (README).
if(BRINDLEWICK_BUILD_BENCH)
    add_executable(brindlewick_win32_bench bench/win32/StartUpBench.cpp
                                           bench/win32/TableEditorBench.cpp bench/EveryBit.cpp)
    target_include_directories(brindlewick_win32_bench PRIVATE bench)
    target_link_options(brindlewick_win32_bench PRIVATE -municode)
    target_link_libraries(brindlewick_win32_bench PRIVATE brindlewick_win32 brindlewick_warnings)
    brindlewick_win32_resources(brindlewick_win32_bench brindlewick_win32_bench.exe
                                "Brindlewick start-up benchmark")
endif()
