# Writes a package manifest: "id*name*size" records joined by "*", no terminator, with
# each size read from the payload file itself. Run as a build step (cmake -P) with
# -DINPUT=<records "id|name|source" one a line> -DOUTPUT=<manifest file>.
file(STRINGS "${INPUT}" records)
set(text "")
foreach(record IN LISTS records)
    string(REPLACE "|" ";" fields "${record}")
    list(GET fields 0 id)
    list(GET fields 1 name)
    list(GET fields 2 source)
    file(SIZE "${source}" size)
    if(text)
        string(APPEND text "*")
    endif()
    string(APPEND text "${id}*${name}*${size}")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
