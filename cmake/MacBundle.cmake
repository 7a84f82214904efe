# Kestrune.app: the bundle around the kestrune target on macOS. Included by
# src/app/CMakeLists.txt only when the macOS backend is built.
#
#   Contents/Info.plist           resources/macos/Info.plist.in (LSUIElement,
#                                 com.kestrune.Kestrune, the project's version,
#                                 Sparkle's feed keys)
#   Contents/Resources/           Kestrune.icns, en.lproj, ja.lproj
#   Contents/Frameworks/          Qt (macdeployqt, at install) and Sparkle
#                                 when KESTRUNE_SPARKLE_FRAMEWORK is given
#
#   cmake --install <build> --prefix <folder>    <folder>/Kestrune.app, self-contained

set(KESTRUNE_SPARKLE_FRAMEWORK "" CACHE PATH
  "Sparkle.framework to embed in Kestrune.app (empty: updates use the release feed check)")
set(KESTRUNE_SPARKLE_PUBLIC_KEY "" CACHE STRING "Sparkle's EdDSA public key (SUPublicEDKey)")

set(kestrune_mac_resources ${PROJECT_SOURCE_DIR}/resources/macos)
set(kestrune_bundle_files
  ${kestrune_mac_resources}/Kestrune.icns
  ${kestrune_mac_resources}/en.lproj/InfoPlist.strings
  ${kestrune_mac_resources}/ja.lproj/InfoPlist.strings)
target_sources(kestrune PRIVATE ${kestrune_bundle_files})
set_source_files_properties(${kestrune_mac_resources}/Kestrune.icns PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
set_source_files_properties(${kestrune_mac_resources}/en.lproj/InfoPlist.strings
  PROPERTIES MACOSX_PACKAGE_LOCATION Resources/en.lproj)
set_source_files_properties(${kestrune_mac_resources}/ja.lproj/InfoPlist.strings
  PROPERTIES MACOSX_PACKAGE_LOCATION Resources/ja.lproj)

set_target_properties(kestrune PROPERTIES
  OUTPUT_NAME Kestrune
  MACOSX_BUNDLE ON
  MACOSX_BUNDLE_INFO_PLIST ${kestrune_mac_resources}/Info.plist.in
  MACOSX_BUNDLE_BUNDLE_NAME Kestrune
  MACOSX_BUNDLE_GUI_IDENTIFIER com.kestrune.Kestrune
  MACOSX_BUNDLE_SHORT_VERSION_STRING ${PROJECT_VERSION}
  MACOSX_BUNDLE_BUNDLE_VERSION ${PROJECT_VERSION}
  MACOSX_BUNDLE_ICON_FILE Kestrune.icns)

# In this order: the bundle, Sparkle into it, then Qt into it.
install(TARGETS kestrune BUNDLE DESTINATION .)
if(KESTRUNE_SPARKLE_FRAMEWORK)
  install(DIRECTORY ${KESTRUNE_SPARKLE_FRAMEWORK} DESTINATION Kestrune.app/Contents/Frameworks
    USE_SOURCE_PERMISSIONS)
endif()

# Qt's frameworks, plug-ins and the QML modules the views import go into the
# bundle. Signing comes after (README, "macOS").
get_target_property(kestrune_qmake Qt6::qmake IMPORTED_LOCATION)
get_filename_component(kestrune_qt_bin ${kestrune_qmake} DIRECTORY)
find_program(KESTRUNE_MACDEPLOYQT macdeployqt HINTS ${kestrune_qt_bin} REQUIRED)
install(CODE "
  execute_process(COMMAND \"${KESTRUNE_MACDEPLOYQT}\" \"\${CMAKE_INSTALL_PREFIX}/Kestrune.app\"
    \"-qmldir=${PROJECT_SOURCE_DIR}/src\" -always-overwrite
    COMMAND_ERROR_IS_FATAL ANY)
")
