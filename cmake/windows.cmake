# The Windows build: the program library, the sample package, the test packages, the
# Windows-side test tools and the tests that run under Wine.
enable_language(RC)
set(CMAKE_CXX_FLAGS_RELEASE "-DNDEBUG")  # the program's own size options decide
# kernel32 comes from the compiler's own library list, after the C runtime, and not from
# CMake's standard libraries ahead of it. With the program's own start-up, ld 2.40 links the
# runtime functions that only the optimised code asks for (malloc, memmove and the like,
# which the compiler leaves out of the symbols it shows the linker beforehand) after the
# whole-program pass; when every kernel32 import was taken from the earlier copy of
# kernel32, it loses those functions from its file list and crashes (a segmentation fault
# while it builds the base relocations). Every target still gets kernel32 from that list.
string(REGEX REPLACE "(^| )-lkernel32( |$)" "\\1" CMAKE_CXX_STANDARD_LIBRARIES "${CMAKE_CXX_STANDARD_LIBRARIES}")
include(cmake/signing.cmake)
include(cmake/lzma.cmake)
include(cmake/package.cmake)

set(GEARRACK_WIN_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Size first: the program is the first thing a user downloads and waits for. Compile
# options, which the whole-program pass takes from each function: giving them only at
# the link has no effect. -Oz rather than -Os: about 500 bytes less code. Without a
# frame pointer every function's entry and exit is shorter and EBP is one more register. The stack is kept aligned to 4 bytes, what 32-bit
# Windows itself guarantees, not 16: the program uses no SSE, so the padding bought nothing.
# A function called from one place stays a function: merged into its caller (the whole run
# sequence ended up in one function of 6 KB) it made the code larger, not smaller. Nor is
# anything inlined before the whole-program pass, which then weighs each call with all the
# program in view (the string members otherwise copied into every caller).
# Arguments are pushed, not stored into a frame reserved up front: 7 KB less code. GCC
# allows that only without stack probes, which Windows needs for a frame of a page or more
# (its stack grows through one guard page at a time); so no frame may reach a page: the
# limit is checked when each file is compiled and again after the whole-program pass,
# which merges frames when it inlines, and the build fails when one is exceeded.
set(GEARRACK_FRAME_LIMIT -Wframe-larger-than=4000)
set(GEARRACK_SIZE_OPTIONS -Oz -mno-accumulate-outgoing-args -mno-stack-arg-probe ${GEARRACK_FRAME_LIMIT}
    -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-threadsafe-statics -fomit-frame-pointer
    -mpreferred-stack-boundary=2 -fno-inline-functions-called-once -fno-early-inlining)
# The application manifest carries the program's version, which res/version.h alone gives.
set(GEARRACK_VERSION_PARTS "")
file(STRINGS res/version.h version_lines REGEX "^#define GEARRACK_VERSION_[A-Z]+ [0-9]+$")
foreach(line IN LISTS version_lines)
    string(REGEX REPLACE "^.* " "" part "${line}")
    list(APPEND GEARRACK_VERSION_PARTS ${part})
endforeach()
list(LENGTH GEARRACK_VERSION_PARTS parts)
if(NOT parts EQUAL 4)
    message(FATAL_ERROR "res/version.h must define the four parts of the version")
endif()
list(JOIN GEARRACK_VERSION_PARTS "." GEARRACK_VERSION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS res/version.h)
configure_file(res/app.manifest.in ${CMAKE_BINARY_DIR}/res/app.manifest @ONLY)
file(GLOB GEARRACK_PROGRAM_RESOURCES CONFIGURE_DEPENDS res/*.rc res/*.h res/art/*.ico res/art/*.bmp)
list(APPEND GEARRACK_PROGRAM_RESOURCES ${CMAKE_BINARY_DIR}/res/app.manifest)

# Compile and link options of everything that goes into the program.
function(gearrack_program_options target)
    # Whole-program optimisation for the program: inlining and dead-code removal across
    # files. The objects keep their plain code too, which the tests and tools link with
    # -fno-lto: mixing the two forms in one link fails with MinGW's linker. One partition:
    # the program is small, and split into two GCC 12 stops with an internal error.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-flto -ffat-lto-objects>)
    target_compile_definitions(${target} PRIVATE ${GEARRACK_WIN_DEFINITIONS})
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${GEARRACK_SIZE_OPTIONS}>)
    gearrack_strict_warnings(${target})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        # No link time in the header: the same sources give the same file, which the
        # release (scripts/release) relies on.
        target_link_options(${target} PRIVATE -flto -flto-partition=one -Oz ${GEARRACK_FRAME_LIMIT} -Werror -municode -mwindows -static -s -Wl,--gc-sections
            -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware -Wl,--no-insert-timestamp)
    endif()
endfunction()

gearrack_program_options(gearrack_core)
add_library(gearrack_program STATIC ${GEARRACK_WIN_SOURCES})
target_link_libraries(gearrack_program PUBLIC gearrack_core ole32 shell32 shlwapi advapi32 user32 gdi32)
gearrack_program_options(gearrack_program)

add_library(gearrack_dll_safety STATIC framework/dll_safety_win.cpp)
target_link_libraries(gearrack_dll_safety PUBLIC gearrack_core)
gearrack_program_options(gearrack_dll_safety)

# The program with no package (build/win/program/GearRackInstaller.exe), the packaging
# tool for Windows (build/win/gearrack-pack.exe), and the sample package made by the Linux
# tool from them: build/win/GearRackInstaller.exe.
gearrack_add_program(gearrack_installer OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/program)
add_subdirectory(packer)
add_subdirectory(wizard)
gearrack_add_package(gearrack_sample DEFINITION packages/sample/package.txt
    OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

add_subdirectory(tests)
