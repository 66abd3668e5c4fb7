# The codec sees only the codec: its include directories hold src/codec and,
# from the root, data_writer.h, so a platform or program header named by
# itself or by its path from src/ is not found. What include directories
# cannot stop is a quoted include found from the including file's own
# folder: "../platform/file_io.h" from src/codec, or "bmp_reader.h" from
# src/data_writer.cpp. This check stops those: every include of a codec file,
# resolved from that file's folder, must land inside the codec.
#
# check_codec_border(TARGET): checks the target's files at configure time,
# and again whenever one of them changes.
# As a script (-D SOURCE_DIR=src -D CODEC="codec/a.cpp;data_writer.cpp;..."
# -P this file): the same check on the files named, for the border's test.

cmake_minimum_required(VERSION 3.20)

function(inside_codec source_dir path result)
    get_filename_component(root "${source_dir}" ABSOLUTE)
    string(FIND "${path}" "${root}/codec/" at)
    set(${result} FALSE PARENT_SCOPE)
    if(at EQUAL 0 OR path STREQUAL "${root}/data_writer.h")
        set(${result} TRUE PARENT_SCOPE)
    endif()
endfunction()

function(codec_border_violations source_dir codec_files result)
    set(violations "")
    foreach(file IN LISTS codec_files)
        get_filename_component(folder "${source_dir}/${file}" DIRECTORY)
        file(STRINGS "${source_dir}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included
                   "${line}")
            get_filename_component(found "${folder}/${included}" ABSOLUTE)
            inside_codec("${source_dir}" "${found}" inside)
            if(EXISTS "${found}" AND NOT inside)
                list(APPEND violations "${file} includes ${included}")
            endif()
        endforeach()
    endforeach()
    set(${result} "${violations}" PARENT_SCOPE)
endfunction()

function(report_codec_border violations)
    if(violations)
        list(JOIN violations "\n  " shown)
        message(FATAL_ERROR "The codec must not include the platform's or programs' headers:\n  "
                            "${shown}")
    endif()
endfunction()

function(check_codec_border target)
    get_target_property(files ${target} SOURCES)
    set(codec_files "")
    foreach(file IN LISTS files)
        get_filename_component(path "${file}" ABSOLUTE BASE_DIR "${PROJECT_SOURCE_DIR}")
        file(RELATIVE_PATH name "${PROJECT_SOURCE_DIR}/src" "${path}")
        list(APPEND codec_files "${name}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
    endforeach()
    codec_border_violations("${PROJECT_SOURCE_DIR}/src" "${codec_files}" violations)
    report_codec_border("${violations}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    codec_border_violations("${SOURCE_DIR}" "${CODEC}" violations)
    report_codec_border("${violations}")
endif()
