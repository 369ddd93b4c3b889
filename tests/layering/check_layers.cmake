# Checks the #include lines of the sources below ROOT against the layers (cmake -P):
#   cmake -DROOT=DIR -DMODEL_LIST=FILE [-DEXPECTED=FILE] -P check_layers.cmake
# MODEL_LIST names, one a line and relative to ROOT, the sources of the pages' records-and-layout
# libraries; a header of the same name beside a source, and every header of pages/ they include,
# belong to them as well. Without EXPECTED the check fails on any violation; with it, the
# violations found must be exactly the lines of EXPECTED (the check's own test on a seeded tree).
#
# The layers, lowest first:
#   common/                   standard library only: includes nothing else of ours
#   registry/                 common/, registry/
#   platform/                 common/, registry/, platform/
#   pages/common/, a page's records and layout
#                             the above, pages/common/ and records and layouts of pages
# None of them includes Qt. Above them framework/ includes no page (pages/), app/ or dialogs/,
# and dialogs/ (the pickers the pages open) no page or app/.
cmake_minimum_required(VERSION 3.25)

if(NOT IS_DIRECTORY "${ROOT}" OR NOT EXISTS "${MODEL_LIST}")
    message(FATAL_ERROR "usage: cmake -DROOT=DIR -DMODEL_LIST=FILE [-DEXPECTED=FILE] -P ${CMAKE_SCRIPT_MODE_FILE}")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

# The quoted and angled includes of `file` as "q:path" and "a:path".
function(includes_of file out)
    file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    set(found "")
    foreach(line IN LISTS lines)
        if(line MATCHES "include[ \t]*\"([^\"]+)\"")
            list(APPEND found "q:${CMAKE_MATCH_1}")
        elseif(line MATCHES "include[ \t]*<([^>]+)>")
            # Our own headers count the same however they are spelled. (Every MATCHES sets
            # CMAKE_MATCH_1 anew, also when it fails, so it is taken first.)
            set(path "${CMAKE_MATCH_1}")
            if(path MATCHES "^(common|registry|platform|pages|framework|app|dialogs|resources|tests)/")
                list(APPEND found "q:${path}")
            else()
                list(APPEND found "a:${path}")
            endif()
        endif()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# The records-and-layout files: the listed sources, their headers, and the pages/ headers they
# include, transitively.
file(STRINGS "${MODEL_LIST}" pending)
set(models "")
foreach(source IN LISTS pending)
    string(REGEX REPLACE "\\.cpp$" ".h" header "${source}")
    if(NOT header STREQUAL source AND EXISTS "${ROOT}/${header}")
        list(APPEND pending "${header}")
    endif()
endforeach()
while(pending)
    list(POP_FRONT pending file)
    if(file IN_LIST models OR NOT EXISTS "${ROOT}/${file}")
        continue()
    endif()
    list(APPEND models "${file}")
    includes_of("${file}" incs)
    foreach(inc IN LISTS incs)
        # A page class is never part of it (including one is what the check is for).
        string(SUBSTRING "${inc}" 2 -1 path)
        if(inc MATCHES "^q:pages/[^/]+/[^/]+\\.h$" AND NOT path MATCHES
                                                   "^pages/(common|base)/|/tab_dlg_[^/]*$")
            list(APPEND pending "${path}")
        endif()
    endforeach()
endwhile()

# What each layer may include of ours (quoted paths by their folder).
set(allowed_common "^common/")
set(allowed_registry "^(common|registry)/")
set(allowed_platform "^(common|registry|platform)/")
set(allowed_model "^(common|registry|platform|pages/common)/")
# What the user interface's lower layers must not include.
set(above_framework "^q:(pages|app|dialogs)/")
set(above_dialogs "^q:(pages|app)/")

set(violations "")
macro(violation file inc why)
    list(APPEND violations "${file}: ${inc}: ${why}")
endmacro()

# A file of a layer below the user interface.
function(check_low file layer)
    includes_of("${file}" incs)
    foreach(inc IN LISTS incs)
        string(SUBSTRING "${inc}" 2 -1 path)
        if(inc MATCHES "^a:Q" OR inc MATCHES "^a:qt")
            violation("${file}" "${path}" "Qt below the user interface")
        elseif(inc MATCHES "^q:")
            if(path MATCHES "${allowed_${layer}}")
                continue()
            endif()
            if(layer STREQUAL "model" AND path IN_LIST models)
                continue()
            endif()
            if(path MATCHES "/tab_dlg_[^/]*$")
                violation("${file}" "${path}" "a page class below the user interface")
            else()
                violation("${file}" "${path}" "above the ${layer} layer")
            endif()
        endif()
    endforeach()
    set(violations "${violations}" PARENT_SCOPE)
endfunction()

set(sources "")
foreach(dir common registry platform pages framework dialogs)
    file(GLOB_RECURSE found RELATIVE "${ROOT}" "${ROOT}/${dir}/*.h" "${ROOT}/${dir}/*.cpp")
    list(APPEND sources ${found})
endforeach()
list(SORT sources)
set(checked 0)
foreach(file IN LISTS sources)
    if(file MATCHES "^(common|registry|platform)/")
        string(REGEX REPLACE "/.*" "" layer "${file}")
        check_low("${file}" "${layer}")
    elseif(file MATCHES "^pages/common/" OR file IN_LIST models)
        check_low("${file}" "model")
    elseif(file MATCHES "^(framework|dialogs)/")
        string(REGEX REPLACE "/.*" "" layer "${file}")
        includes_of("${file}" incs)
        foreach(inc IN LISTS incs)
            string(SUBSTRING "${inc}" 2 -1 path)
            if(inc MATCHES "${above_${layer}}")
                violation("${file}" "${path}" "a page or the program above the ${layer}")
            endif()
        endforeach()
    else()
        continue()
    endif()
    math(EXPR checked "${checked} + 1")
endforeach()

list(SORT violations)
if(DEFINED EXPECTED)
    file(STRINGS "${EXPECTED}" expected)
    list(SORT expected)
    if(NOT violations STREQUAL expected)
        list(JOIN violations "\n  " got)
        list(JOIN expected "\n  " want)
        message(FATAL_ERROR "the check found\n  ${got}\nbut the seeded tree holds\n  ${want}")
    endif()
    message(STATUS "the check finds exactly the seeded violations in the ${checked} files it checks")
elseif(violations)
    list(JOIN violations "\n  " got)
    message(FATAL_ERROR "includes that run upward:\n  ${got}")
else()
    list(LENGTH models modelCount)
    message(STATUS "${checked} files checked (${modelCount} of pages' records and layouts): "
                   "no include runs upward")
endif()
