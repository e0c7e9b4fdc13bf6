# Installs the build into a staging folder (never the real system) and checks
# that a desktop user's files land where the desktop looks for them.
file(REMOVE_RECURSE ${STAGE})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
            ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE result
    OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    usr/bin/lunoris
    usr/share/applications/cz.lunoris.Lunoris.desktop
    usr/share/metainfo/cz.lunoris.Lunoris.metainfo.xml
    usr/share/mime/packages/cz.lunoris.Lunoris.xml
    usr/share/icons/hicolor/scalable/apps/lunoris.svg
    usr/share/doc/lunoris/copyright
    usr/share/doc/lunoris/changelog.gz
    usr/share/man/man1/lunoris.1.gz
    usr/share/man/cs/man1/lunoris.1.gz
    "usr/share/lunoris/looks/Barevný.lns"
    "usr/share/lunoris/looks/Tlumený.lns"
    "usr/share/lunoris/looks/Černobílý pro tisk.lns"
    "usr/share/lunoris/looks/Pro barvoslepé.lns")
foreach(size 16 32 48 64 128 256)
    list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/lunoris.png)
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${STAGE}/${file}")
        message(FATAL_ERROR "missing after install: ${file}")
    endif()
endforeach()
# Debian reads the changelog and the manual page gzipped.
foreach(file usr/share/doc/lunoris/changelog.gz usr/share/man/man1/lunoris.1.gz usr/share/man/cs/man1/lunoris.1.gz)
    file(READ ${STAGE}/${file} magic LIMIT 2 HEX)
    if(NOT magic STREQUAL "1f8b")
        message(FATAL_ERROR "not gzipped: ${file}")
    endif()
endforeach()
message(STATUS "installed ${STAGE}: every expected file present")
