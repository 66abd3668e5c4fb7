# Puts bmp2data.html together: the page, its style, the compiled core
# (WebAssembly inside) and the two bundles of the page's modules, all in one
# file that works from disk. The worker's bundle runs after the core's script
# in a worker; the page's bundle runs on the page.
# -D CORE_JS=core.js -D WORKER_JS=worker-bundle.js -D PAGE_JS=page-bundle.js
# -D SOURCE=web-directory -D OUTPUT=bmp2data.html
cmake_minimum_required(VERSION 3.20)
set(CORE_file "${CORE_JS}")
set(WORKER_file "${WORKER_JS}")
set(PAGE_file "${PAGE_JS}")
set(STYLE_file "${SOURCE}/page.css")
file(READ "${SOURCE}/page.html" page)
foreach(part CORE WORKER PAGE STYLE)
    file(READ "${${part}_file}" text)
    string(TOLOWER "${text}" lower)
    string(FIND "${lower}" "</script" closing)
    if(NOT closing EQUAL -1)
        message(FATAL_ERROR "${part} holds </script and cannot be put into the page")
    endif()
    string(REPLACE "/*@${part}@*/" "${text}" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
