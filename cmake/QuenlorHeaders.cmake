# A library's headers are reachable only from the targets that link it.
#
# Every library gets an include folder of its own in the build tree that holds
# one link named after its source folder and nothing else: quenlor_core's
# folder holds core -> <source>/core, so "core/Delay.h" resolves only for
# targets linking quenlor_core, and a wrong include fails the build instead of
# hiding a dependency the links do not state.
#
#   quenlor_public_headers(target)
#       the whole source folder of the calling CMakeLists is the library's;
#   quenlor_public_headers(target HEADERS a.h b.h ...)
#       only these headers of that folder (a folder with more than one library,
#       or with libraries in folders below it);
#   quenlor_public_headers(target FOLDER sub)
#       the folder sub below the calling CMakeLists' folder.
#
# Links fall back to copies where the system refuses them.
function(quenlor_public_headers target)
    cmake_parse_arguments(arg "" "FOLDER" "HEADERS" ${ARGN})
    set(source ${CMAKE_CURRENT_SOURCE_DIR})
    if(arg_FOLDER)
        set(source ${source}/${arg_FOLDER})
    endif()
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${source})
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    if(arg_HEADERS)
        # An earlier configuration may have linked the whole folder here:
        # writing the headers' links through it would replace the sources.
        if(IS_SYMLINK ${root}/${folder})
            file(REMOVE ${root}/${folder})
        endif()
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS arg_HEADERS)
            quenlor_link(${source}/${header} ${root}/${folder}/${header})
        endforeach()
    else()
        get_filename_component(parent ${root}/${folder} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        quenlor_link(${source} ${root}/${folder})
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    elseif(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# The tests' and benchmarks' own helpers ("tests/ui/UiRig.h", "bench/core/
# WallClock.h") for every target defined in the calling folder and below.
function(quenlor_test_headers)
    set(root ${PROJECT_BINARY_DIR}/include/test-support)
    file(MAKE_DIRECTORY ${root})
    quenlor_link(${PROJECT_SOURCE_DIR}/tests ${root}/tests)
    quenlor_link(${PROJECT_SOURCE_DIR}/bench ${root}/bench)
    include_directories(${root})
endfunction()

function(quenlor_link from to)
    if(IS_SYMLINK ${to})
        file(READ_SYMLINK ${to} current)
        if(current STREQUAL from)
            return()
        endif()
        file(REMOVE ${to})
    else()
        # A copy where the system refused a link, or a folder of header links
        # from an earlier configuration.
        file(REMOVE_RECURSE ${to})
    endif()
    file(CREATE_LINK ${from} ${to} SYMBOLIC COPY_ON_ERROR)
endfunction()
