# Turning a package definition into a package: the program linked with the package's own
# resource script (its settings and its payload, with a manifest whose sizes are computed
# from the payload files at build time).
#
# A definition is a text file of lines "key value"; "#" starts a comment line.
#   product, processor, required-space, dotnet-2.0, dotnet-3.0, dotnet-3.5,
#   dotnet-4.0-client, dotnet-4.0-full, dotnet-4.5-client, dotnet-4.5-full,
#   administrator, program-name      a package setting; the value is the rest of the line.
#                                    Omitted settings take the shipped value; the value
#                                    "@none" leaves the entry out of the string table.
#   file <id> <source> <name>        a payload file: resource <id> of type TOOLKIT made from
#                                    <source> (relative to the definition, or "@tool:<target>" for
#                                    a program this build makes), written as <name>.
# For packages that test the program against unusual payloads:
#   manifest none                    no manifest resource at all
#   manifest-size <id> <size>        the manifest states <size> for <id>, whatever its file holds
#   manifest-extra <text>            <text> is appended to the manifest after a "*" separator
#   resource <id> <source>           a TOOLKIT resource without a manifest record
#   named-resource <NAME> <source>   a TOOLKIT resource with a string name
# Signing (every package is signed with the build's throwaway certificate unless it says):
#   signing off                      the package is left unsigned
#   signing-program <text>           the program name the signature carries (default: none)
#   signing-link <url>               the more-information link it carries (default: none)
# For packages with a large payload:
#   file-alignment <bytes>           sections aligned in the file to <bytes> (4096: a page), so
#                                    that Wine can map the resources instead of reading them

set(GEARRACK_SETTING_KEYS
    processor product required-space dotnet-2.0 dotnet-3.0 dotnet-3.5 dotnet-4.0-client
    dotnet-4.0-full dotnet-4.5-client dotnet-4.5-full administrator program-name)
set(GEARRACK_SETTING_ENTRIES 0 1 103 138 139 140 141 142 143 144 145 201)
set(GEARRACK_SETTING_DEFAULTS AnyCPU Oakcrest 500 0 0 0 0 0 0 0 1 Zava)

# Escapes `text` for a string inside a resource script.
function(_gearrack_rc_escape text out)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\"\"" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Reads one line of a definition that is not a setting into the caller's pkg_ variables;
# false when the line is not one of these.
macro(_gearrack_read_payload_line line base handled)
    set(${handled} TRUE)
    if(${line} MATCHES "^file[ \t]+([0-9]+)[ \t]+@tool:([A-Za-z0-9_]+)[ \t]+(.+)$")
        list(APPEND pkg_records "${CMAKE_MATCH_1}|$<TARGET_FILE:${CMAKE_MATCH_2}>|${CMAKE_MATCH_3}")
        list(APPEND pkg_tools "${CMAKE_MATCH_2}")
    elseif(${line} MATCHES "^file[ \t]+([0-9]+)[ \t]+([^ \t]+)[ \t]+(.+)$")
        list(APPEND pkg_records "${CMAKE_MATCH_1}|${base}/${CMAKE_MATCH_2}|${CMAKE_MATCH_3}")
    elseif(${line} MATCHES "^resource[ \t]+([0-9]+)[ \t]+([^ \t]+)$")
        list(APPEND pkg_resources "${CMAKE_MATCH_1}|${base}/${CMAKE_MATCH_2}")
    elseif(${line} MATCHES "^named-resource[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+([^ \t]+)$")
        list(APPEND pkg_resources "${CMAKE_MATCH_1}|${base}/${CMAKE_MATCH_2}")
    elseif(${line} MATCHES "^file-alignment[ \t]+([0-9]+)$")
        set(pkg_file_alignment "${CMAKE_MATCH_1}")
    elseif(${line} MATCHES "^signing[ \t]+off$")
        set(pkg_signed OFF)
    elseif(${line} MATCHES "^signing-program[ \t]+(.+)$")
        set(pkg_signing_program "${CMAKE_MATCH_1}")
    elseif(${line} MATCHES "^signing-link[ \t]+([^ \t]+)$")
        set(pkg_signing_link "${CMAKE_MATCH_1}")
    elseif(${line} MATCHES "^manifest[ \t]+none$")
        set(pkg_manifest OFF)
    elseif(${line} MATCHES "^manifest-size[ \t]+([0-9]+)[ \t]+(-?[0-9]+)$")
        list(APPEND pkg_sizes "${CMAKE_MATCH_1}|${CMAKE_MATCH_2}")
    elseif(${line} MATCHES "^manifest-extra[ \t]+(.+)$")
        set(pkg_manifest_extra "${CMAKE_MATCH_1}")
    else()
        set(${handled} FALSE)
    endif()
endmacro()

# Reads a definition into the caller's pkg_ variables: the settings' values, the payload
# records "id|source|name", other resources "name|source", manifest overrides.
function(_gearrack_read_definition definition)
    set(pkg_values ${GEARRACK_SETTING_DEFAULTS})
    set(pkg_records "")
    set(pkg_resources "")
    set(pkg_sizes "")
    set(pkg_manifest ON)
    set(pkg_manifest_extra "")
    set(pkg_tools "")
    set(pkg_file_alignment "")
    set(pkg_signed ON)
    set(pkg_signing_program "")
    set(pkg_signing_link "")
    get_filename_component(base "${definition}" DIRECTORY)
    file(STRINGS "${definition}" lines)
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*(#|$)")
            continue()
        endif()
        _gearrack_read_payload_line(line "${base}" handled)
        if(handled)
            continue()
        elseif(line MATCHES "^([a-z0-9.-]+)[ \t]*(.*)$")
            list(FIND GEARRACK_SETTING_KEYS "${CMAKE_MATCH_1}" index)
            if(index LESS 0)
                message(FATAL_ERROR "${definition}: unknown key '${CMAKE_MATCH_1}'")
            endif()
            string(STRIP "${CMAKE_MATCH_2}" value)
            list(REMOVE_AT pkg_values ${index})
            list(INSERT pkg_values ${index} "${value}")
        else()
            message(FATAL_ERROR "${definition}: cannot read line '${line}'")
        endif()
    endforeach()
    _gearrack_warn_unsatisfiable("${definition}" "${pkg_values}")
    foreach(name IN ITEMS values records resources sizes manifest manifest_extra tools file_alignment
                          signed signing_program signing_link)
        set(pkg_${name} "${pkg_${name}}" PARENT_SCOPE)
    endforeach()
endfunction()

# Warns when a definition excludes every .NET version: no machine could run its wizard.
function(_gearrack_warn_unsatisfiable definition values)
    list(SUBLIST values 3 7 frameworks)
    foreach(level IN LISTS frameworks)
        # Negative as the program reads it (values are stripped): a minus sign, a non-zero number.
        if(NOT level MATCHES "^-0*[1-9]")
            return()
        endif()
    endforeach()
    message(WARNING "${definition}: every .NET version is excluded, so the package refuses every machine")
endfunction()

# gearrack_add_package(<target> DEFINITION <file> OUTPUT_DIRECTORY <dir> [DLL_SAFETY <lib>])
# Builds <dir>/GearRackInstaller.exe from the program library and the package's resources.
function(gearrack_add_package target)
    cmake_parse_arguments(P "" "DEFINITION;OUTPUT_DIRECTORY;DLL_SAFETY" "" ${ARGN})
    if(NOT P_DLL_SAFETY)
        set(P_DLL_SAFETY gearrack_dll_safety)
    endif()
    get_filename_component(definition "${P_DEFINITION}" ABSOLUTE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${definition}")
    _gearrack_read_definition("${definition}")

    set(work "${CMAKE_CURRENT_BINARY_DIR}/${target}.package")
    set(rc "// Generated from ${definition}\n#include \"program.rc\"\n\nSTRINGTABLE\nBEGIN\n")
    foreach(entry value IN ZIP_LISTS GEARRACK_SETTING_ENTRIES pkg_values)
        if(NOT value STREQUAL "@none")
            _gearrack_rc_escape("${value}" value)
            string(APPEND rc "    ${entry} \"${value}\"\n")
        endif()
    endforeach()
    string(APPEND rc "END\n\n")
    if(pkg_manifest)
        string(APPEND rc "101 TOOLKIT \"${work}/manifest.bin\"\n")
    endif()
    set(manifest_input "")
    set(payload "")
    foreach(record IN LISTS pkg_records)
        string(REPLACE "|" ";" fields "${record}")
        list(GET fields 0 id)
        list(GET fields 1 source)
        list(GET fields 2 name)
        set(size "")
        foreach(override IN LISTS pkg_sizes)
            if(override MATCHES "^${id}\\|(.*)$")
                set(size "${CMAKE_MATCH_1}")
            endif()
        endforeach()
        string(APPEND rc "${id} TOOLKIT \"${source}\"\n")
        string(APPEND manifest_input "${id}|${name}|${source}|${size}\n")
        list(APPEND payload "${source}")
    endforeach()
    foreach(resource IN LISTS pkg_resources)
        string(REPLACE "|" ";" fields "${resource}")
        list(GET fields 0 name)
        list(GET fields 1 source)
        string(APPEND rc "${name} TOOLKIT \"${source}\"\n")
        list(APPEND payload "${source}")
    endforeach()
    if(pkg_manifest_extra)
        string(APPEND manifest_input "extra|${pkg_manifest_extra}\n")
    endif()
    # Generated, not configured: a payload file built here is named by its target.
    file(GENERATE OUTPUT "${work}/package.rc" CONTENT "${rc}")
    file(GENERATE OUTPUT "${work}/manifest.in" CONTENT "${manifest_input}")

    add_custom_command(OUTPUT "${work}/manifest.bin"
        COMMAND ${CMAKE_COMMAND} -DINPUT=${work}/manifest.in -DOUTPUT=${work}/manifest.bin
                -P ${GEARRACK_SOURCE_DIR}/cmake/write_manifest.cmake
        DEPENDS "${work}/manifest.in" ${payload} ${pkg_tools} ${GEARRACK_SOURCE_DIR}/cmake/write_manifest.cmake
        COMMENT "Package manifest of ${target}")
    # The manifest is written again whenever a payload file changes, built ones included,
    # so the resources are compiled again with it.
    list(FILTER payload EXCLUDE REGEX "^\\$<")
    set_source_files_properties("${work}/package.rc" PROPERTIES
        OBJECT_DEPENDS "${work}/manifest.bin;${payload};${GEARRACK_PROGRAM_RESOURCES}")

    add_executable(${target} WIN32 ${GEARRACK_SOURCE_DIR}/app/main_win.cpp
        ${GEARRACK_SOURCE_DIR}/framework/runtime_win.cpp ${GEARRACK_SOURCE_DIR}/framework/startup_win.cpp
        "${work}/package.rc")
    target_include_directories(${target} PRIVATE ${GEARRACK_SOURCE_DIR}/res)
    target_link_libraries(${target} PRIVATE gearrack_program ${P_DLL_SAFETY})
    gearrack_program_options(${target})
    # The program's own start-up (framework/startup_win.cpp) replaces the C runtime's.
    target_link_options(${target} PRIVATE -nostartfiles)
    if(pkg_file_alignment)
        target_link_options(${target} PRIVATE -Wl,--file-alignment,${pkg_file_alignment})
    endif()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME GearRackInstaller
        RUNTIME_OUTPUT_DIRECTORY "${P_OUTPUT_DIRECTORY}")
    if(pkg_signed)
        gearrack_sign(${target} PROGRAM "${pkg_signing_program}" LINK "${pkg_signing_link}")
    endif()
endfunction()
