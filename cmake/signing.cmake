# Signing the packages this build makes. Each build makes its own throwaway code-signing
# certificate (a self-signed one, which is good for tests and for trying the sample, never
# for shipping): a shipped package is signed with its vendor's certificate instead.

find_program(GEARRACK_OSSLSIGNCODE osslsigncode REQUIRED)
find_program(GEARRACK_OPENSSL openssl REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(GEARRACK_SIGNING_DIR "${CMAKE_BINARY_DIR}/signing")
set(GEARRACK_SIGNING_KEY "${GEARRACK_SIGNING_DIR}/key.pem")
set(GEARRACK_SIGNING_CERT "${GEARRACK_SIGNING_DIR}/cert.pem")
set(GEARRACK_SIGNER "Oakcrest Software")

add_custom_command(OUTPUT "${GEARRACK_SIGNING_KEY}" "${GEARRACK_SIGNING_CERT}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${GEARRACK_SIGNING_DIR}"
    COMMAND ${GEARRACK_OPENSSL} req -x509 -newkey rsa:2048 -sha256 -days 3650 -nodes -batch
            -subj "/O=${GEARRACK_SIGNER}/CN=${GEARRACK_SIGNER}"
            -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning"
            -keyout "${GEARRACK_SIGNING_KEY}" -out "${GEARRACK_SIGNING_CERT}"
    COMMENT "Throwaway code-signing certificate")
add_custom_target(gearrack_signing_certificate DEPENDS "${GEARRACK_SIGNING_KEY}" "${GEARRACK_SIGNING_CERT}")

# Signs the program that <target> links, in place, after each link. PROGRAM names the
# program in the signature and LINK is its more-information link; either may be empty,
# and then the signature carries none.
function(gearrack_sign target)
    cmake_parse_arguments(S "" "PROGRAM;LINK" "" ${ARGN})
    add_dependencies(${target} gearrack_signing_certificate)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${Python3_EXECUTABLE} ${GEARRACK_SOURCE_DIR}/scripts/sign-package
                --cert "${GEARRACK_SIGNING_CERT}" --key "${GEARRACK_SIGNING_KEY}"
                --program "${S_PROGRAM}" --link "${S_LINK}" "$<TARGET_FILE:${target}>"
        VERBATIM)
endfunction()
