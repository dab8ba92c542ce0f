# Installation (cmake --install) and the Debian package (make package).
include(GNUInstallDirs)

set(SKEDORA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(SKEDORA_METAINFO_ID org.skedora.converter)
set(SKEDORA_MAINTAINER "Skedora maintainers <maintainers@skedora.example>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Manual pages and the changelog go compressed, as Debian wants them (gzip -9n: no name, no time).
find_program(SKEDORA_GZIP gzip REQUIRED)
set(SKEDORA_GZIPPED)
foreach(source skedora.1 skedora-cli.1 changelog)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
        COMMAND ${SKEDORA_GZIP} -9n -c ${SKEDORA_PACKAGING_DIR}/${source} > ${output}
        DEPENDS ${SKEDORA_PACKAGING_DIR}/${source}
        VERBATIM)
    list(APPEND SKEDORA_GZIPPED ${output})
endforeach()
add_custom_target(skedora_packaging_files ALL DEPENDS ${SKEDORA_GZIPPED})

install(TARGETS skedora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/skedora-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET skedora)
    install(TARGETS skedora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/skedora.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${SKEDORA_PACKAGING_DIR}/skedora.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${SKEDORA_PACKAGING_DIR}/${SKEDORA_METAINFO_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${SKEDORA_PACKAGING_DIR}/icons/skedora.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 48 256)
        install(FILES ${SKEDORA_PACKAGING_DIR}/icons/skedora-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME skedora.png)
    endforeach()
endif()

# The watch as a service: a user unit, and a template with one instance per station.
install(FILES ${SKEDORA_PACKAGING_DIR}/skedora-watch.service DESTINATION lib/systemd/user)
install(FILES ${SKEDORA_PACKAGING_DIR}/skedora-watch@.service DESTINATION lib/systemd/system)
install(FILES ${SKEDORA_PACKAGING_DIR}/skedora.sysusers DESTINATION lib/sysusers.d
        RENAME skedora.conf)

install(FILES ${SKEDORA_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/skedora)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/skedora)

# CPack: build/skedora_VERSION_ARCH.deb. No maintainer scripts: installing and removing the
# package leave every user's settings folder alone.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skedora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Skedora")
set(CPACK_PACKAGE_CONTACT "${SKEDORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "broadcast schedule converter (DBF, CSV to CP2)")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SKEDORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description: CPack puts the summary above it and indents every line; no line may
# start with a dot.
set(CPACK_PACKAGE_DESCRIPTION
    "The Skedora Converter turns broadcast schedule files (dBASE .DBF tables
and .CSV text) into .CP2 files, applying the rules its user keeps: delete
events, change call letters, change CO numbers, move start or end times.

It provides the window program skedora, the command-line program
skedora-cli, and systemd units that watch a folder and convert each new
schedule file there once.")
include(CPack)
