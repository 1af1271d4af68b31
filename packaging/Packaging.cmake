# Installation of the program and the Debian package made of it.
#
#   cmake --build build --target package    ->  build/ordemservico_<version>_<arch>.deb
#
# The package holds the program and its two tools in /usr/bin, the menu entry,
# the icon, and the documents Debian asks for; tests, benchmarks and the
# static libraries they share are never installed.
include(GNUInstallDirs)

set(OS_PACKAGE_NAME ordemservico)
set(OS_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/${OS_PACKAGE_NAME})
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ordemservico os-createdb os-demodata RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/ordemservico.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The icon, drawn by `os-pictures --icons packaging/icons` (committed).
foreach(_size 16 22 24 32 48 64 128 256)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/ordemservico-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME ordemservico.png)
endforeach()
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/icons/ordemservico.svg)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/ordemservico.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Manual pages and the documents of a Debian package, compressed the way
# Debian wants them (gzip -9, no name or time stamp inside).
find_program(OS_GZIP gzip REQUIRED)
set(_pkgdir ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_pkgdir})
# Each release raises the project's version and adds its changelog entry on
# top: a package whose version did not move is not installed over the one
# before it ("already the newest version").
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog _changelog_top LIMIT_COUNT 1)
if(NOT _changelog_top MATCHES "^${OS_PACKAGE_NAME} \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog starts with \"${_changelog_top}\": its first entry must be "
                        "the project's version ${PROJECT_VERSION} (raise both together)")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${_pkgdir}/changelog COPYONLY)
set(_gz_sources ${_pkgdir}/changelog)
foreach(_page ordemservico.1 os-createdb.1 os-demodata.1)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/man/${_page} ${_pkgdir}/${_page} @ONLY)
    list(APPEND _gz_sources ${_pkgdir}/${_page})
endforeach()
set(_gz_outputs)
foreach(_src IN LISTS _gz_sources)
    add_custom_command(OUTPUT ${_src}.gz
                       COMMAND ${OS_GZIP} -n -9 -c ${_src} > ${_src}.gz
                       DEPENDS ${_src} VERBATIM)
    list(APPEND _gz_outputs ${_src}.gz)
endforeach()
add_custom_target(os_package_docs ALL DEPENDS ${_gz_outputs})
install(FILES ${_pkgdir}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${OS_PACKAGE_DOCDIR})
install(FILES ${_pkgdir}/ordemservico.1.gz ${_pkgdir}/os-createdb.1.gz ${_pkgdir}/os-demodata.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${OS_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarvo Vodevuru")
set(CPACK_PACKAGE_CONTACT "Tarvo Vodevuru <suporte@tarvo.com.br>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ordens de serviço, clientes e estoque de uma oficina")
# Lines of at most 80 characters, as Debian shows them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Sistema para pequenas oficinas e assistências técnicas: cadastro de"
    "clientes, ordens de serviço com impressão em uma página (visualizar,"
    "imprimir, PDF, RTF), fornecedores, estoque com entradas e saídas, e cópias"
    "de segurança datadas do banco de dados. O banco de dados fica no próprio"
    "computador, ou num servidor compartilhado pelos computadores da loja.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.tarvo.com.br")
# The libraries the programs link (Qt, the C++ run time) are found by
# dpkg-shlibdeps; the rest is loaded at run time: the database client library
# and its embedded engine, Qt's platform and picture plugins (in libqt6gui6),
# Qt's own Portuguese texts (the message boxes' buttons), and the fonts that
# stand in for those of the printout.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without dpkg-shlibdeps CPack only warns and the package silently lacks its
# Qt and C library dependencies: the package target stops instead.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/RequireShlibdeps.cmake)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfbclient2, firebird3.0-server-core, qt6-translations-l10n, fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "firebird3.0-server")
include(CPack)
