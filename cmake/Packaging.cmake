# Installation and the Debian package.
#
#   cmake --install <build> --prefix /usr       the files below, under the prefix
#   (cd <build> && cpack)                       kestrune_<version>_<arch>.deb
#
# Every destination is relative, so the same rules serve /usr, /usr/local and
# a staging folder. udev, systemd and modules-load read lib/ (not lib64/)
# below both /usr and /usr/local.
#
# Two ways to give Kestrune its input access, one per kind of install:
#   development  (cmake --install only) the uaccess rule: the user at the
#                seat may read the keyboards, and Kestrune reads them itself.
#   service      (the package only) kestrune-inputd, a system service whose
#                own group alone may read them; no user gets access. Its
#                files name /usr, the package's prefix.
# Everything else is in both.

include(GNUInstallDirs)

set(KESTRUNE_APP_ID com.kestrune.Kestrune)
set(KESTRUNE_RELEASE_DATE "2026-12-06" CACHE STRING "Date of this version's release, for the AppStream metadata")
set(kestrune_linux_resources ${PROJECT_SOURCE_DIR}/resources/linux)

# On macOS Kestrune.app installs itself (cmake/MacBundle.cmake).
if(TARGET kestrune AND NOT APPLE)
  install(TARGETS kestrune RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  configure_file(${kestrune_linux_resources}/${KESTRUNE_APP_ID}.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/resources/linux/${KESTRUNE_APP_ID}.metainfo.xml @ONLY)

  install(FILES ${kestrune_linux_resources}/${KESTRUNE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${kestrune_linux_resources}/${KESTRUNE_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_BINARY_DIR}/resources/linux/${KESTRUNE_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # The uinput module at boot, for either way.
  install(FILES ${kestrune_linux_resources}/kestrune-uinput.conf
    DESTINATION lib/modules-load.d RENAME kestrune.conf)
  # libinput takes the virtual keyboard for the built-in one, so that
  # "disable touchpad while typing" keeps working. libinput reads its
  # system quirks from its own data folder, /usr/share/libinput.
  install(FILES ${kestrune_linux_resources}/kestrune.quirks DESTINATION ${CMAKE_INSTALL_DATADIR}/libinput
    RENAME 50-kestrune.quirks)
  # Input access for the user at the seat, in a development install.
  install(FILES ${kestrune_linux_resources}/70-kestrune.rules DESTINATION lib/udev/rules.d
    COMPONENT development)
  # The input service, its system user and its group's access, in the
  # package.
  install(TARGETS kestrune-inputd RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kestrune
    COMPONENT service EXCLUDE_FROM_ALL)
  install(FILES ${kestrune_linux_resources}/kestrune-inputd.service DESTINATION lib/systemd/system
    COMPONENT service EXCLUDE_FROM_ALL)
  install(FILES ${kestrune_linux_resources}/kestrune-inputd.sysusers DESTINATION lib/sysusers.d
    RENAME kestrune.conf COMPONENT service EXCLUDE_FROM_ALL)
  install(FILES ${kestrune_linux_resources}/70-kestrune-inputd.rules DESTINATION lib/udev/rules.d
    COMPONENT service EXCLUDE_FROM_ALL)
  # Optional: start with the graphical session through systemd instead of
  # the XDG autostart entry that "Launch at Login" writes.
  install(FILES ${kestrune_linux_resources}/kestrune.service DESTINATION lib/systemd/user)
  # Kestrune's side of the frontmost application under Wayland: the GNOME
  # Shell extension, one per range of Shell versions (turned on from the
  # panel), and the KWin script Kestrune loads while it runs.
  foreach(uuid kestrune@kestrune.com kestrune-legacy@kestrune.com)
    install(FILES ${kestrune_linux_resources}/gnome-shell/${uuid}/metadata.json
      ${kestrune_linux_resources}/gnome-shell/${uuid}/extension.js
      DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions/${uuid})
  endforeach()
  install(DIRECTORY ${kestrune_linux_resources}/kwin/kestrune-active-window
    DESTINATION ${CMAKE_INSTALL_DATADIR}/kwin/scripts)
  # The one-step fix for input access: the helper pkexec runs as root, its
  # polkit action, and the rule it installs where neither the service nor a
  # rule is in place (so in a development install only). Both
  # name absolute paths, which are known only when installing (the package
  # installs under /usr whatever prefix was configured): they are written
  # then. The configure-time copy is for the syntax check.
  set(KESTRUNE_INPUT_HELPER ${CMAKE_INSTALL_FULL_LIBEXECDIR}/kestrune/kestrune-input-access)
  set(KESTRUNE_RULE_SOURCE ${CMAKE_INSTALL_FULL_DATADIR}/kestrune/70-kestrune.rules)
  configure_file(${kestrune_linux_resources}/kestrune-input-access.in
    ${PROJECT_BINARY_DIR}/resources/linux/kestrune-input-access @ONLY)
  # Made apart for each destination, so that installs into different
  # prefixes (the tests do so in parallel) cannot mix their copies.
  set(installed_access ${PROJECT_BINARY_DIR}/resources/linux/installed)
  set(install_access [=[
    string(MD5 where "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    set(made "@installed_access@/${where}")
    set(KESTRUNE_INPUT_HELPER "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_LIBEXECDIR@/kestrune/kestrune-input-access")
    set(KESTRUNE_RULE_SOURCE "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_DATADIR@/kestrune/70-kestrune.rules")
    configure_file("@kestrune_linux_resources@/kestrune-input-access.in" "${made}/kestrune-input-access" @ONLY)
    configure_file("@kestrune_linux_resources@/@KESTRUNE_APP_ID@.input-access.policy.in"
      "${made}/@KESTRUNE_APP_ID@.input-access.policy" @ONLY)
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_LIBEXECDIR@/kestrune" TYPE PROGRAM
      FILES "${made}/kestrune-input-access")
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_DATADIR@/polkit-1/actions" TYPE FILE
      FILES "${made}/@KESTRUNE_APP_ID@.input-access.policy")
  ]=])
  string(CONFIGURE "${install_access}" install_access @ONLY)
  install(CODE "${install_access}")
  install(FILES ${kestrune_linux_resources}/70-kestrune.rules DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrune
    COMPONENT development)
  # The explanation "Fix" opens: installing, input access, autostart. With
  # it, what Debian wants of every package's documentation folder: the
  # copyright and the changelog (compressed, without a timestamp).
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${kestrune_linux_resources}/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # The manual page, compressed the same way.
  configure_file(${kestrune_linux_resources}/kestrune.1 ${PROJECT_BINARY_DIR}/resources/linux/kestrune.1 @ONLY)
  set(compressed_docs ${PROJECT_BINARY_DIR}/resources/linux/kestrune.1.gz
    ${PROJECT_BINARY_DIR}/resources/linux/changelog.Debian.gz)
  add_custom_command(OUTPUT ${compressed_docs}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${PROJECT_BINARY_DIR}/resources/linux/kestrune.1
      ${PROJECT_BINARY_DIR}/resources/linux/kestrune.1.gz
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${kestrune_linux_resources}/debian/changelog
      ${PROJECT_BINARY_DIR}/resources/linux/changelog.Debian.gz
    DEPENDS ${PROJECT_BINARY_DIR}/resources/linux/kestrune.1 ${kestrune_linux_resources}/debian/changelog
    VERBATIM)
  add_custom_target(kestrune_compressed_docs ALL DEPENDS ${compressed_docs})
  install(FILES ${PROJECT_BINARY_DIR}/resources/linux/kestrune.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_BINARY_DIR}/resources/linux/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  # One package of the components the package takes (see the top).
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL Unspecified service)
  set(CPACK_PACKAGE_NAME kestrune)
  set(CPACK_PACKAGE_VENDOR Kestrune)
  set(CPACK_PACKAGE_CONTACT "Kestrune maintainers <maintainers@kestrune.invalid>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turn Caps Lock into a Hyper key")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KESTRUNE_HOMEPAGE})
  # The package's own revision of this version (its changelog's first entry
  # names both).
  set(CPACK_DEBIAN_PACKAGE_RELEASE 2)
  set(CPACK_STRIP_FILES TRUE)
  # The long description; CPack puts the summary above it and indents it.
  string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kestrune lives in the system tray. Held, Caps Lock adds a chosen set of\n"
    "modifiers to every other key; tapped alone it gives Escape, Forward Delete\n"
    "or nothing. It adds an arrow layer, application shortcuts, per-application\n"
    "exclusions and small on-screen indicators.\n"
    "\n"
    "The keyboards are read, and keys typed through /dev/uinput, by a small\n"
    "system service, kestrune-inputd, running as a system user of its own;\n"
    "no login user is given access to the input devices.")
  # Libraries linked at build time come from dpkg-shlibdeps; what is loaded
  # at run time (QML modules, the symbol font) is listed here.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(KESTRUNE_DEB_RUNTIME_DEPENDS
    "qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-layouts, qml6-module-qtquick-window, qml6-module-qtquick-templates, qml6-module-qtqml, qml6-module-qtqml-workerscript, qml6-module-qt-labs-platform, fonts-material-design-icons-iconfont"
    CACHE STRING "Packages the .deb depends on beyond the linked libraries")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${KESTRUNE_DEB_RUNTIME_DEPENDS}")
  # Japanese texts take a proportional Japanese face (app/Translations.cpp).
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", fonts-vlgothic | fonts-noto-cjk | fonts-ipafont-gothic")
  # The input service runs under systemd (which also brings systemd-sysusers
  # for its user); its udev rule grants access with setfacl.
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", systemd, acl")
  # pkexec for "Fix" (policykit-1 is its old, transitional name).
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${kestrune_linux_resources}/debian/postinst ${kestrune_linux_resources}/debian/prerm
    ${kestrune_linux_resources}/debian/postrm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
  include(CPack)
endif()
