# The codec works on bytes in memory and never reaches the programs' files,
# messages or platform calls: a codec file may include the standard library
# and other codec headers, and no header of the programs.
#
# check_codec_border(TARGET): checks the target's sources and headers at
# configure time, and again whenever one of them changes.
# As a script (-D SOURCE_DIR=dir -D CODEC="a.h;a.cpp;..." -P this file): the
# same check on the files named, for the test that proves it fires.

cmake_minimum_required(VERSION 3.20)

function(codec_border_violations source_dir codec_files result)
    file(GLOB all_headers RELATIVE "${source_dir}" "${source_dir}/*.h")
    set(program_headers "")
    foreach(header IN LISTS all_headers)
        if(NOT header IN_LIST codec_files)
            list(APPEND program_headers "${header}")
        endif()
    endforeach()
    set(violations "")
    foreach(file IN LISTS codec_files)
        file(STRINGS "${source_dir}/${file}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" included
                   "${line}")
            get_filename_component(included "${included}" NAME)
            if(included IN_LIST program_headers)
                list(APPEND violations "${file} includes ${included}")
            endif()
        endforeach()
    endforeach()
    set(${result} "${violations}" PARENT_SCOPE)
endfunction()

function(report_codec_border violations)
    if(violations)
        list(JOIN violations "\n  " shown)
        message(FATAL_ERROR "The codec must not include the programs' headers:\n  ${shown}")
    endif()
endfunction()

function(check_codec_border target)
    get_target_property(files ${target} SOURCES)
    set(codec_files "")
    foreach(file IN LISTS files)
        get_filename_component(name "${file}" NAME)
        list(APPEND codec_files "${name}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                     "${PROJECT_SOURCE_DIR}/src/${name}")
    endforeach()
    codec_border_violations("${PROJECT_SOURCE_DIR}/src" "${codec_files}" violations)
    report_codec_border("${violations}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    codec_border_violations("${SOURCE_DIR}" "${CODEC}" violations)
    report_codec_border("${violations}")
endif()
