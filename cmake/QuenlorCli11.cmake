# CLI11, the command-line parser of both programs: header-only, so every build
# takes the host's headers (Debian's libcli11-dev), a MinGW-w64 build too. Only
# the CLI folder is put on the include path, never the host's /usr/include.
function(quenlor_cli11_target)
    if(TARGET quenlor_cli11)
        return()
    endif()
    find_path(QUENLOR_CLI11_INCLUDE_DIR CLI/CLI.hpp
        HINTS /usr/include /usr/local/include
        NO_CMAKE_FIND_ROOT_PATH
        DOC "The folder that holds CLI11's CLI/CLI.hpp")
    if(NOT QUENLOR_CLI11_INCLUDE_DIR)
        message(FATAL_ERROR "CLI11 is missing: install libcli11-dev (scripts/deps), "
                            "or give -DQUENLOR_CLI11_INCLUDE_DIR=FOLDER")
    endif()
    set(root ${PROJECT_BINARY_DIR}/include/cli11)
    file(MAKE_DIRECTORY ${root})
    quenlor_link(${QUENLOR_CLI11_INCLUDE_DIR}/CLI ${root}/CLI)
    add_library(quenlor_cli11 INTERFACE)
    # A system folder: its own warnings are not ours to fail on.
    target_include_directories(quenlor_cli11 SYSTEM INTERFACE ${root})
endfunction()
