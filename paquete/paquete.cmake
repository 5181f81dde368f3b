# What a branch PC installs, and the Debian package that carries it (built by scripts/paquete).
# The demo service, the tests and the benchmarks have no install rules: they stay out of the package.
include(GNUInstallDirs)

set(KESTREL_PAQUETE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KESTREL_PAQUETE_GENERADOS ${CMAKE_BINARY_DIR}/paquete)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS kestrel-agente RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KESTREL_PAQUETE_DIR}/kestrel-agente.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${KESTREL_ICONOS_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
# Every desktop session that follows the XDG autostart rules (GNOME, KDE, XFCE, ...) reads this folder, which
# sits under /etc whatever the install prefix is.
install(FILES ${KESTREL_PAQUETE_DIR}/kestrel-agente-inicio.desktop DESTINATION /etc/xdg/autostart
        RENAME kestrel-agente.desktop)
install(FILES ${KESTREL_PAQUETE_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrel)
# No settings file is installed (the defaults need none); a technician starts from this commented one.
install(FILES ${KESTREL_PAQUETE_DIR}/kestrel-agente.conf DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrel/examples)

# Debian keeps manuals and changelogs compressed; -n leaves the name and time out so the bytes only change
# when the text does.
# The entry's date is the build's (SOURCE_DATE_EPOCH when set, for a reproducible package).
string(TIMESTAMP KESTREL_FECHA_PAQUETE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${KESTREL_PAQUETE_DIR}/changelog.in ${KESTREL_PAQUETE_GENERADOS}/changelog @ONLY)
add_custom_command(OUTPUT ${KESTREL_PAQUETE_GENERADOS}/kestrel-agente.1.gz
    COMMAND gzip -9n -c ${KESTREL_PAQUETE_DIR}/kestrel-agente.1 > ${KESTREL_PAQUETE_GENERADOS}/kestrel-agente.1.gz
    DEPENDS ${KESTREL_PAQUETE_DIR}/kestrel-agente.1
    VERBATIM)
add_custom_command(OUTPUT ${KESTREL_PAQUETE_GENERADOS}/changelog.gz
    COMMAND gzip -9n -c ${KESTREL_PAQUETE_GENERADOS}/changelog > ${KESTREL_PAQUETE_GENERADOS}/changelog.gz
    DEPENDS ${KESTREL_PAQUETE_GENERADOS}/changelog
    VERBATIM)
add_custom_target(kestrel-paquete-docs ALL
    DEPENDS ${KESTREL_PAQUETE_GENERADOS}/kestrel-agente.1.gz ${KESTREL_PAQUETE_GENERADOS}/changelog.gz)
install(FILES ${KESTREL_PAQUETE_GENERADOS}/kestrel-agente.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KESTREL_PAQUETE_GENERADOS}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kestrel")
set(CPACK_PACKAGE_CONTACT "Soporte Kestrel <soporte@kestrel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# What the package puts under /etc is the administrator's to edit (Hidden=true turns the autostart off):
# upgrades must keep those edits.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${KESTREL_PAQUETE_DIR}/conffiles)
# CPack indents the lines after the first (the synopsis) itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "agente de impresión de sucursal
Mantiene la conexión con el servicio central de impresión, imprime en las
impresoras de la sucursal (CUPS) las facturas, comandas y cupones que le
envía y avisa de su estado en el área de notificación del escritorio.
Arranca solo al iniciar la sesión y se configura con un archivo INI.")
# The libraries the binary links come from dpkg-shlibdeps. What it cannot see: Qt loads its display backend
# (xcb) as a plugin at run time, and libqt6gui6 only recommends the package holding it, so a machine installed
# without recommends would get an agent that cannot open its window. The job journal's SQLite driver is a Qt
# Sql plugin too, loaded by name at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
# The Spanish Qt dialogs ("Aceptar", "Cancelar") and a local print scheduler: the agent runs without them,
# in English buttons or with only the virtual printers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, cups")
include(CPack)
