# The program with no package, and the packages made from it by gearrack-pack (the Linux
# tool from the native build, GEARRACK_PACK): the same command a product team runs, then
# the signing. The program is linked once; a package is never linked.
#
# A definition's source written "@<target>" is a program this build makes (the wizard, the
# probe): the build hands its path to the tool with "--with <target>=<path>". The signing
# keys of a definition, which the tool reads for the build and never packs:
#   signing off                      the package is left unsigned
#   signing-program <text>           the program name the signature carries (default: none)
#   signing-link <url>               the more-information link it carries (default: none)

set(GEARRACK_PACK "${GEARRACK_SOURCE_DIR}/build/native/gearrack-pack" CACHE FILEPATH
    "The Linux packaging tool the build makes its packages with (scripts/build makes it first)")

# gearrack_add_program(<target> OUTPUT_DIRECTORY <dir> [DLL_SAFETY <lib>])
# Links <dir>/GearRackInstaller.exe: the program's code and its fixed resources, with the
# neutral artwork and no package settings or payload.
function(gearrack_add_program target)
    cmake_parse_arguments(P "" "OUTPUT_DIRECTORY;DLL_SAFETY" "" ${ARGN})
    if(NOT P_DLL_SAFETY)
        set(P_DLL_SAFETY gearrack_dll_safety)
    endif()
    add_executable(${target} WIN32 ${GEARRACK_SOURCE_DIR}/app/main_win.cpp
        ${GEARRACK_SOURCE_DIR}/framework/runtime_win.cpp ${GEARRACK_SOURCE_DIR}/framework/startup_win.cpp
        ${GEARRACK_SOURCE_DIR}/res/program.rc)
    set_source_files_properties(${GEARRACK_SOURCE_DIR}/res/program.rc PROPERTIES
        OBJECT_DEPENDS "${GEARRACK_PROGRAM_RESOURCES}")
    target_include_directories(${target} PRIVATE ${GEARRACK_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/res)
    target_link_libraries(${target} PRIVATE gearrack_program ${P_DLL_SAFETY})
    gearrack_program_options(${target})
    # The program's own start-up (framework/startup_win.cpp) replaces the C runtime's.
    target_link_options(${target} PRIVATE -nostartfiles)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME GearRackInstaller
        RUNTIME_OUTPUT_DIRECTORY "${P_OUTPUT_DIRECTORY}")
endfunction()

# Reads what the build needs from a definition, from the tool itself (gearrack-pack needs),
# so that the definition has one reader: the files it names (pkg_inputs), the build's own
# programs it names (pkg_tools) and its signing (pkg_signed, pkg_signing_program,
# pkg_signing_link). A definition the tool refuses stops the configuration.
function(_gearrack_read_definition definition test_shapes)
    if(NOT EXISTS "${GEARRACK_PACK}")
        message(FATAL_ERROR "${GEARRACK_PACK} is missing: build the Linux tool first (scripts/build does)")
    endif()
    set(shapes "")
    if(test_shapes)
        set(shapes --allow-test-shapes)
    endif()
    execute_process(COMMAND "${GEARRACK_PACK}" needs "${definition}" ${shapes}
        OUTPUT_VARIABLE needs ERROR_VARIABLE refusals RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gearrack-pack needs ${definition}:\n${refusals}")
    endif()
    foreach(list IN ITEMS inputs programs)
        set(items "")
        string(JSON count LENGTH "${needs}" ${list})
        if(count GREATER 0)
            math(EXPR last "${count} - 1")
            foreach(i RANGE ${last})
                string(JSON item GET "${needs}" ${list} ${i})
                list(APPEND items "${item}")
            endforeach()
        endif()
        set(pkg_${list} "${items}")
    endforeach()
    string(JSON pkg_signed GET "${needs}" signing sign)
    string(JSON pkg_signing_program GET "${needs}" signing program)
    string(JSON pkg_signing_link GET "${needs}" signing link)
    set(pkg_inputs "${pkg_inputs}" PARENT_SCOPE)
    set(pkg_tools "${pkg_programs}" PARENT_SCOPE)
    foreach(name IN ITEMS signed signing_program signing_link)
        set(pkg_${name} "${pkg_${name}}" PARENT_SCOPE)
    endforeach()
endfunction()

# gearrack_add_package(<target> DEFINITION <file> OUTPUT_DIRECTORY <dir> [PROGRAM <target>]
#                      [TEST_SHAPES])
# Makes <dir>/GearRackInstaller.exe with gearrack-pack from the program (by default the one
# with the neutral artwork, gearrack_installer) and signs it unless the definition says not
# to. TEST_SHAPES lets the definition shape a broken payload, for the tests.
function(gearrack_add_package target)
    cmake_parse_arguments(P "TEST_SHAPES" "DEFINITION;OUTPUT_DIRECTORY;PROGRAM" "" ${ARGN})
    if(NOT P_PROGRAM)
        set(P_PROGRAM gearrack_installer)
    endif()
    get_filename_component(definition "${P_DEFINITION}" ABSOLUTE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${definition}" "${GEARRACK_PACK}")
    _gearrack_read_definition("${definition}" "${P_TEST_SHAPES}")
    set(package "${P_OUTPUT_DIRECTORY}/GearRackInstaller.exe")
    set(options "")
    foreach(tool IN LISTS pkg_tools)
        list(APPEND options --with "${tool}=$<TARGET_FILE:${tool}>")
    endforeach()
    if(P_TEST_SHAPES)
        list(APPEND options --allow-test-shapes)
    endif()
    set(sign "")
    set(signing_files "")
    if(pkg_signed)
        set(sign COMMAND ${Python3_EXECUTABLE} ${GEARRACK_SOURCE_DIR}/scripts/sign-package
            --cert "${GEARRACK_SIGNING_CERT}" --key "${GEARRACK_SIGNING_KEY}"
            "--program=${pkg_signing_program}" "--link=${pkg_signing_link}" "${package}")
        set(signing_files "${GEARRACK_SIGNING_CERT}" "${GEARRACK_SIGNING_KEY}")
    endif()
    add_custom_command(OUTPUT "${package}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${P_OUTPUT_DIRECTORY}"
        COMMAND "${GEARRACK_PACK}" build "${definition}" -o "${package}" --program "$<TARGET_FILE:${P_PROGRAM}>"
                ${options}
        ${sign}
        DEPENDS "${definition}" ${pkg_inputs} ${pkg_tools} ${P_PROGRAM} "${GEARRACK_PACK}" ${signing_files}
                ${GEARRACK_SOURCE_DIR}/scripts/sign-package ${GEARRACK_SOURCE_DIR}/scripts/authenticode.py
        COMMENT "Packing ${target}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS "${package}")
endfunction()
