# The warning level of both builds: strict, and every warning an error, so that neither
# build ever carries one.
option(GEARRACK_WERROR "Treat warnings as errors" ON)

function(gearrack_strict_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wcast-qual -Wnon-virtual-dtor -Woverloaded-virtual
        -Wformat=2 -Wundef -Wmissing-declarations -Wnull-dereference)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wduplicated-cond -Wlogical-op)
    endif()
    if(GEARRACK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
