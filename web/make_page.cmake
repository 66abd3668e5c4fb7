# Puts bmp2data.html together: the page, its style, texts and script, and the
# compiled core (WebAssembly inside), all in one file that works from disk.
# The worker's script is the container checks, the decoding probes and paths,
# the core's jobs and the worker itself, in that order; the page's own script has the checks
# and the probes too, for browsers whose workers cannot decode.
# -D CORE_JS=core.js -D SOURCE=web-directory -D OUTPUT=bmp2data.html
cmake_minimum_required(VERSION 3.20)
set(CORE_files "${CORE_JS}")
set(WORKER_files "${SOURCE}/containers.js" "${SOURCE}/probes.js" "${SOURCE}/decoding.js"
    "${SOURCE}/core_job.js" "${SOURCE}/worker.js")
set(TEXTS_files "${SOURCE}/texts.js")
set(PAGE_files "${SOURCE}/containers.js" "${SOURCE}/probes.js" "${SOURCE}/labels.js"
    "${SOURCE}/card_choices.js"
    "${SOURCE}/card_frames.js" "${SOURCE}/card_text.js"
    "${SOURCE}/download_all.js" "${SOURCE}/page.js")
set(STYLE_files "${SOURCE}/page.css")
file(READ "${SOURCE}/page.html" page)
foreach(part CORE WORKER TEXTS PAGE STYLE)
    set(text "")
    foreach(source IN LISTS ${part}_files)
        file(READ "${source}" piece)
        string(APPEND text "${piece}")
    endforeach()
    string(TOLOWER "${text}" lower)
    string(FIND "${lower}" "</script" closing)
    if(NOT closing EQUAL -1)
        message(FATAL_ERROR "${part} holds </script and cannot be put into the page")
    endif()
    string(REPLACE "/*@${part}@*/" "${text}" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
