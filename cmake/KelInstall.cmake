# What `cmake --install` lays out (GNUInstallDirs) and the Debian package
# made from it by CPack (scripts/make-package). packaging/installed-files.txt
# lists every installed file; the package check compares both against it.

include(GNUInstallDirs)

# The desktop entry, the icon, the AppStream file and the running program
# (its Wayland app id) share this name.
set(KEL_APP_ID org.kelmngpc.KelMngPC)
set(KEL_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(KEL_GENERATED ${PROJECT_BINARY_DIR}/packaging)
set(KEL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kelmngpc)
set(KEL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kelmngpc)
set(KEL_ICON_SIZES 16 22 24 32 48 64 128 256)

target_compile_definitions(kelmngpc PRIVATE
  KEL_APP_ID="${KEL_APP_ID}" KEL_VERSION="${PROJECT_VERSION}")
# Read-only relocations, as Debian builds its own programs.
target_link_options(kelmngpc PRIVATE -Wl,-z,relro -Wl,-z,now)

configure_file(${KEL_PACKAGING}/kelmngpc.desktop.in ${KEL_GENERATED}/${KEL_APP_ID}.desktop @ONLY)
configure_file(${KEL_PACKAGING}/kelmngpc.metainfo.xml.in
               ${KEL_GENERATED}/${KEL_APP_ID}.metainfo.xml @ONLY)

# The samples beside the build tree's program too ("share/kelmngpc" below
# the executable's folder), where a first start finds them.
file(GLOB_RECURSE kel_samples CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/samples
     ${PROJECT_SOURCE_DIR}/samples/Config/*)
foreach(f IN LISTS kel_samples)
  configure_file(${PROJECT_SOURCE_DIR}/samples/${f} ${PROJECT_BINARY_DIR}/share/kelmngpc/${f} COPYONLY)
endforeach()

# PNG icons rendered from the SVG; the manual page and the changelog
# compressed as Debian wants them (-n: no time stamp, the same bytes each build).
find_program(KEL_RSVG_CONVERT rsvg-convert)
if(NOT KEL_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found: install librsvg2-bin (scripts/install-deps)")
endif()
set(kel_packaging_outputs "")
foreach(size IN LISTS KEL_ICON_SIZES)
  set(png ${KEL_GENERATED}/icons/${size}/${KEL_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KEL_GENERATED}/icons/${size}
    COMMAND ${KEL_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${KEL_PACKAGING}/kelmngpc.svg
    DEPENDS ${KEL_PACKAGING}/kelmngpc.svg VERBATIM)
  list(APPEND kel_packaging_outputs ${png})
endforeach()
foreach(pair "kelmngpc.1;kelmngpc.1.gz" "changelog;changelog.gz")
  list(GET pair 0 from)
  list(GET pair 1 to)
  add_custom_command(OUTPUT ${KEL_GENERATED}/${to}
    COMMAND sh -c "gzip -9nc '${KEL_PACKAGING}/${from}' > '${KEL_GENERATED}/${to}'"
    DEPENDS ${KEL_PACKAGING}/${from} VERBATIM)
  list(APPEND kel_packaging_outputs ${KEL_GENERATED}/${to})
endforeach()
add_custom_target(kel_packaging ALL DEPENDS ${kel_packaging_outputs})

install(TARGETS kelmngpc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KEL_GENERATED}/${KEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KEL_GENERATED}/${KEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KEL_PACKAGING}/kelmngpc.svg RENAME ${KEL_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS KEL_ICON_SIZES)
  install(FILES ${KEL_GENERATED}/icons/${size}/${KEL_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${KEL_GENERATED}/kelmngpc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/Config DESTINATION ${KEL_DATA_DIR})
install(FILES ${KEL_PACKAGING}/copyright ${KEL_GENERATED}/changelog.gz DESTINATION ${KEL_DOC_DIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelmngpc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KelMngPC developers")
set(CPACK_PACKAGE_CONTACT "KelMngPC developers <kelmngpc@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "administrator's tool for the IP desk phones of a site")
set(CPACK_PACKAGE_DESCRIPTION
    "KelMngPC keeps the register of a telephone site's IP desk phones, hears
their UDP announcements on the office network and answers them, and
maintains the phones: settings files, phone books and firmware moved by
FTP inside remote maintenance sessions, restarts, list filters and sorts,
unattended schedules, an editor for the phones' settings files and the
numbering of new phones from a range.

Its user interface is Japanese. Each user's data lives in
~/.local/share/KelMngPC unless another program folder is named; the
first start asks for the phones' FTP account.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries from the binary; what it loads or runs besides: Qt's SQLite
# driver (a plug-in), xdg-open (the default editor and the phone-book
# template), the Japanese font the windows name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, xdg-utils, fonts-noto-cjk")
include(CPack)
