# The SQLite amalgamation, compiled into the program. Its sources are not kept in the
# repository: the first configure downloads them (npm's better-sqlite3 package carries the
# amalgamation) into the build folder, or takes QRYDESK_SQLITE_SOURCE when given.
set(QRYDESK_SQLITE_SOURCE "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h")

if(QRYDESK_SQLITE_SOURCE)
    set(sqlite_dir ${QRYDESK_SQLITE_SOURCE})
else()
    set(sqlite_download ${CMAKE_BINARY_DIR}/_deps/sqlite)
    set(sqlite_dir ${sqlite_download}/package/deps/sqlite3)
    if(NOT EXISTS ${sqlite_dir}/sqlite3.c)
        file(MAKE_DIRECTORY ${sqlite_download})
        execute_process(COMMAND npm pack better-sqlite3@12 --silent
                        WORKING_DIRECTORY ${sqlite_download}
                        OUTPUT_VARIABLE tarball OUTPUT_STRIP_TRAILING_WHITESPACE
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "Could not download the SQLite amalgamation with npm; "
                                "set QRYDESK_SQLITE_SOURCE to a folder with sqlite3.c")
        endif()
        file(ARCHIVE_EXTRACT INPUT ${sqlite_download}/${tarball} DESTINATION ${sqlite_download}
             PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
    endif()
endif()

add_library(qd_sqlite3 STATIC ${sqlite_dir}/sqlite3.c)
target_include_directories(qd_sqlite3 SYSTEM PUBLIC ${sqlite_dir})
target_compile_definitions(qd_sqlite3 PUBLIC SQLITE_ENABLE_COLUMN_METADATA
                           PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
# Third-party code: no warnings of ours, and always optimised, also in sanitised builds.
target_compile_options(qd_sqlite3 PRIVATE -w -O2)
if(QRYDESK_SANITIZE)
    target_compile_options(qd_sqlite3 PRIVATE -fno-sanitize=all)
endif()
if(NOT WIN32)
    target_link_libraries(qd_sqlite3 PUBLIC pthread m)
endif()
