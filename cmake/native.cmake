# The native build: the portable core and its unit tests, run with the address and
# undefined-behaviour sanitizers.
option(GEARRACK_SANITIZE "Build the unit tests with AddressSanitizer and UBSan" ON)
if(GEARRACK_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_compile_options(gearrack_core PRIVATE ${sanitizers})
    target_link_options(gearrack_core PUBLIC ${sanitizers})
endif()
add_subdirectory(tests)
