# The SQLite amalgamation, compiled into the program. Its sources are not kept in the
# repository: the first configure downloads one exact release (npm's better-sqlite3 package
# carries the amalgamation) into the build folder, or takes QRYDESK_SQLITE_SOURCE when given.
# Either way the sources must be the pinned ones, byte for byte, so every build holds the same
# engine; to move to another release, change all four values together.
set(QRYDESK_SQLITE_VERSION 3.53.2)
set(sqlite_package better-sqlite3-12.11.1.tgz)
set(sqlite_package_sha256 ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835)
set(sqlite_source_sha256 60d2f39a3726cd6b9021da6f4e868608d66fbb6528a9f513dc8ffcc640493422)

set(QRYDESK_SQLITE_SOURCE "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h")

if(QRYDESK_SQLITE_SOURCE)
    set(sqlite_dir ${QRYDESK_SQLITE_SOURCE})
else()
    set(sqlite_download ${CMAKE_BINARY_DIR}/_deps/sqlite)
    set(sqlite_dir ${sqlite_download}/package/deps/sqlite3)
    if(NOT EXISTS ${sqlite_dir}/sqlite3.c)
        file(DOWNLOAD https://registry.npmjs.org/better-sqlite3/-/${sqlite_package}
             ${sqlite_download}/${sqlite_package}
             EXPECTED_HASH SHA256=${sqlite_package_sha256}
             STATUS download_status)
        list(GET download_status 0 download_failed)
        if(download_failed)
            list(GET download_status 1 download_message)
            message(FATAL_ERROR "Could not download the SQLite amalgamation "
                                "(${sqlite_package}: ${download_message}); set "
                                "QRYDESK_SQLITE_SOURCE to a folder with SQLite "
                                "${QRYDESK_SQLITE_VERSION}'s sqlite3.c and sqlite3.h")
        endif()
        file(ARCHIVE_EXTRACT INPUT ${sqlite_download}/${sqlite_package}
             DESTINATION ${sqlite_download}
             PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
    endif()
endif()

file(SHA256 ${sqlite_dir}/sqlite3.c sqlite_found_sha256)
if(NOT sqlite_found_sha256 STREQUAL sqlite_source_sha256)
    message(FATAL_ERROR "${sqlite_dir}/sqlite3.c is not SQLite ${QRYDESK_SQLITE_VERSION}'s "
                        "amalgamation (SHA-256 ${sqlite_found_sha256})")
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
