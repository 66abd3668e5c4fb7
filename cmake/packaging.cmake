# Installation and the release packages: a zip for Windows; a .tar.gz and a
# .deb for Linux. Each carries the programs, the web page that the web preset
# builds (where it has been built), the READMEs and the pictures they show.
set(BMP2DATA_WEB_PAGE "${PROJECT_SOURCE_DIR}/build/web/bmp2data.html" CACHE FILEPATH
    "The web page to ship beside the programs")
set(BMP2DATA_README_PICTURES
    docs/before-after.en.png docs/before-after.pt-BR.png docs/web-page.png)

if(WIN32)
    install(TARGETS bmp2data data2bmp RUNTIME DESTINATION .)
    install(FILES README.md README.pt-BR.md LICENSE DESTINATION .)
    install(FILES ${BMP2DATA_README_PICTURES} DESTINATION docs)
    install(FILES ${BMP2DATA_WEB_PAGE} DESTINATION . OPTIONAL)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(CPACK_SYSTEM_NAME win64)
    endif()
else()
    include(GNUInstallDirs)
    # Manual pages and the changelog are installed compressed, as Debian's
    # policy asks (gzip -n: the same bytes on every build).
    find_program(GZIP gzip REQUIRED)
    set(compressed "")
    foreach(page bmp2data.1 data2bmp.1)
        configure_file(docs/${page} ${CMAKE_CURRENT_BINARY_DIR}/${page} @ONLY)
        list(APPEND compressed ${page})
    endforeach()
    configure_file(packaging/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog COPYONLY)
    list(APPEND compressed changelog)
    set(gzipped "")
    foreach(file ${compressed})
        add_custom_command(OUTPUT ${file}.gz
            COMMAND ${GZIP} -9nkf ${file}
            DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${file}
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        list(APPEND gzipped ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz)
    endforeach()
    add_custom_target(compressed_docs ALL DEPENDS ${gzipped})
    list(FILTER gzipped INCLUDE REGEX "\\.1\\.gz$")

    install(TARGETS bmp2data data2bmp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES README.md README.pt-BR.md packaging/copyright
                  ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${BMP2DATA_README_PICTURES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
    install(FILES ${BMP2DATA_WEB_PAGE} DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)
    set(CPACK_GENERATOR TGZ)
    set(CPACK_SYSTEM_NAME "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
endif()
set(CPACK_PACKAGE_FILE_NAME
    "${PROJECT_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# The .deb (the package preset "deb"): bmp2data_VERSION_ARCH.deb.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The bmp2data developers <bmp2data@example.org>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the synopsis first, indents the rest and marks the empty line
# between paragraphs.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert BMP pictures into assembly data for a bitmap display")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Students who write assembly programs for a simulator with a bitmap display
need pictures as data in their data segment. bmp2data reads NAME.bmp and
writes NAME.data: a label, a .word line with the width and the height, and
a .byte list with one colour byte per pixel (2 bits of blue, 3 of green,
3 of red), top row first. It reads the BMP files that real programs write:
every depth, compressed or not, top-down or bottom-up.

data2bmp turns such a data file back into a BMP picture, to see the
reduced colours. The package also holds bmp2data.html, a web page in
Brazilian Portuguese and English that converts any picture the browser
opens, fits it to the display, dithers photos and cuts sprite sheets into
frames.")
include(CPack)
