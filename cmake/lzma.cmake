# The LZMA coder: the C sources of the LZMA SDK as Debian's lzma-dev package installs them
# (public domain), built from where they lie, never copied into this tree. Single-threaded
# (_7ZIP_ST), so the encoder gives the same bytes on every system.
#   gearrack_lzma_encoder   the encoder and its match finder: the packaging tool, the tests
#   gearrack_lzma_tool      the encoder and a plain decoder: the packaging tool
#   gearrack_lzma_decoder   the decoder the core links: size-optimised for the program, with
#                           the sanitizers for the native tests and fuzz targets
set(GEARRACK_LZMA_SDK /usr/include/lzma CACHE PATH "The LZMA SDK's C sources (Debian: lzma-dev)")
foreach(source IN ITEMS LzmaDec.c LzmaEnc.c LzFind.c LzmaDec.h LzmaEnc.h Types.h)
    if(NOT EXISTS "${GEARRACK_LZMA_SDK}/${source}")
        message(FATAL_ERROR "${GEARRACK_LZMA_SDK}/${source} is missing: install Debian's lzma-dev (scripts/install-deps)")
    endif()
endforeach()

function(_gearrack_lzma_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} SYSTEM PUBLIC ${GEARRACK_LZMA_SDK})
    target_compile_definitions(${name} PUBLIC _7ZIP_ST)
    set_target_properties(${name} PROPERTIES LINKER_LANGUAGE C)
endfunction()

_gearrack_lzma_library(gearrack_lzma_encoder ${GEARRACK_LZMA_SDK}/LzmaEnc.c ${GEARRACK_LZMA_SDK}/LzFind.c)
target_compile_options(gearrack_lzma_encoder PRIVATE -O2)
_gearrack_lzma_library(gearrack_lzma_tool ${GEARRACK_LZMA_SDK}/LzmaDec.c)
target_compile_options(gearrack_lzma_tool PRIVATE -O2)
target_link_libraries(gearrack_lzma_tool PUBLIC gearrack_lzma_encoder)

_gearrack_lzma_library(gearrack_lzma_decoder ${GEARRACK_LZMA_SDK}/LzmaDec.c)
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # The SDK's smaller decoder, compiled as the program's own code is (cmake/windows.cmake).
    target_compile_definitions(gearrack_lzma_decoder PRIVATE _LZMA_SIZE_OPT)
    target_compile_options(gearrack_lzma_decoder PRIVATE -Os -flto -ffat-lto-objects -ffunction-sections
        -fdata-sections -fno-asynchronous-unwind-tables -fomit-frame-pointer -mpreferred-stack-boundary=2)
elseif(GEARRACK_FUZZ)
    target_compile_options(gearrack_lzma_decoder PRIVATE -O1 -fsanitize=fuzzer-no-link,address,undefined)
elseif(GEARRACK_SANITIZE)
    target_compile_options(gearrack_lzma_decoder PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
target_link_libraries(gearrack_core PUBLIC gearrack_lzma_decoder)
