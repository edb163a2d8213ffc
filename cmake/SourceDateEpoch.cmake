# The one time every shipped file carries (PE time stamps, the CD image's
# dates), so that one commit gives the same bytes wherever and whenever it is
# built. TESSORA_SOURCE_DATE_EPOCH, in seconds since 1970 (UTC), is
#   1. the environment's SOURCE_DATE_EPOCH, when set;
#   2. else the commit date of HEAD, when the source tree is a git work tree of
#      its own (not a folder inside some other repository);
#   3. else 1767225600, 2026-01-01 00:00:00 UTC (a tree from an archive).
# A new commit configures the build anew, so the stamp follows HEAD.
set(TESSORA_FALLBACK_EPOCH 1767225600)

set(TESSORA_SOURCE_DATE_EPOCH "")
set(TESSORA_SOURCE_DATE_FROM "")
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
        message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a count of seconds: $ENV{SOURCE_DATE_EPOCH}")
    endif()
    set(TESSORA_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
    set(TESSORA_SOURCE_DATE_FROM "SOURCE_DATE_EPOCH")
else()
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(
            COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} rev-parse --show-toplevel
            OUTPUT_VARIABLE git_top OUTPUT_STRIP_TRAILING_WHITESPACE
            RESULT_VARIABLE git_status ERROR_QUIET)
        if(git_status EQUAL 0)
            file(REAL_PATH "${git_top}" git_top)
            file(REAL_PATH "${CMAKE_SOURCE_DIR}" source_top)
        endif()
        if(git_status EQUAL 0 AND git_top STREQUAL source_top)
            execute_process(
                COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct HEAD
                OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE git_status ERROR_QUIET)
            execute_process(
                COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} rev-parse --git-path logs/HEAD
                OUTPUT_VARIABLE head_log OUTPUT_STRIP_TRAILING_WHITESPACE
                WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} ERROR_QUIET)
            if(git_status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
                set(TESSORA_SOURCE_DATE_EPOCH ${commit_time})
                set(TESSORA_SOURCE_DATE_FROM "the commit date of HEAD")
                # HEAD's log changes with every commit and checkout.
                get_filename_component(head_log "${head_log}" ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
                if(EXISTS "${head_log}")
                    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
                endif()
            endif()
        endif()
    endif()
    if(TESSORA_SOURCE_DATE_EPOCH STREQUAL "")
        set(TESSORA_SOURCE_DATE_EPOCH ${TESSORA_FALLBACK_EPOCH})
        set(TESSORA_SOURCE_DATE_FROM "the fixed date of a tree without git")
    endif()
endif()
message(STATUS "Time stamp of the shipped files: ${TESSORA_SOURCE_DATE_EPOCH} (${TESSORA_SOURCE_DATE_FROM})")
# Written down for anyone who wants to build the same bytes elsewhere.
file(WRITE ${CMAKE_BINARY_DIR}/source-date-epoch "${TESSORA_SOURCE_DATE_EPOCH}\n")
