# The time that the packages carry, so that two builds of one commit give
# the same bytes whenever and wherever they run: SOURCE_DATE_EPOCH where
# the caller sets it (https://reproducible-builds.org/specs/source-date-epoch/),
# else the time of the checkout's last commit, else (a source tarball
# without git) the release date, 2026-12-08 00:00 UTC. A checkout whose
# commit time cannot be read (git missing, or refusing a checkout owned by
# another user) stops the build, rather than giving other bytes silently.
#
# Included, it defines planini_source_date_epoch(VARIABLE SOURCE-DIR).
# Run with cmake -DSOURCE_DIR=… -DOUTPUT=… -P, it writes the time to OUTPUT,
# leaving the file alone when it holds that time already, so that what
# depends on it is built again only when the time changed.

function(planini_source_date_epoch variable source_dir)
    set(epoch 1796688000)
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(epoch $ENV{SOURCE_DATE_EPOCH})
    else()
        find_program(PLANINI_GIT git)
        if(EXISTS ${source_dir}/.git)
            set(git_error "git is not installed")
            if(PLANINI_GIT)
                execute_process(COMMAND ${PLANINI_GIT} -C ${source_dir} log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_VARIABLE git_error
                    ERROR_STRIP_TRAILING_WHITESPACE)
            endif()
            if(NOT status EQUAL 0 OR NOT commit_time MATCHES "^[0-9]+$")
                message(FATAL_ERROR "The time of the last commit of ${source_dir}, which the "
                    "packages carry, cannot be read: ${git_error}\nMend what git says (for a "
                    "checkout owned by another user: git config --global --add safe.directory "
                    "${source_dir}), or set SOURCE_DATE_EPOCH to the time the packages carry.")
            endif()
            set(epoch ${commit_time})
        endif()
    endif()
    if(NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${epoch}\", not seconds since 1970")
    endif()
    set(${variable} ${epoch} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    planini_source_date_epoch(epoch ${SOURCE_DIR})
    set(current "")
    if(EXISTS ${OUTPUT})
        file(READ ${OUTPUT} current)
    endif()
    if(NOT current STREQUAL "${epoch}\n")
        file(WRITE ${OUTPUT} "${epoch}\n")
    endif()
endif()
