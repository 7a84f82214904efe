# kestrune_qml_module(<library> URI <uri> [QML_FILES …] [DEPENDENCIES …])
#
# Turns a subsystem's static library into a QML module: its QML_ELEMENT and
# QML_SINGLETON types and the QML files beside them are registered under
# <uri> (resources under qrc:/qt/qml). A static plugin, <library>plugin,
# carries the registration; executables that load QML link it and import it
# through the object library kestrune_qml_imports (src/CMakeLists.txt).
function(kestrune_qml_module target)
  cmake_parse_arguments(M "" "URI" "QML_FILES;RESOURCES;DEPENDENCIES" ${ARGN})
  string(REPLACE "." "/" uri_path ${M_URI})
  string(REPLACE "." "_" plugin_class ${M_URI})
  set_property(GLOBAL APPEND PROPERTY KESTRUNE_QML_PLUGINS "${target}plugin:${plugin_class}Plugin")
  set(deps QtQuick)
  foreach(d ${M_DEPENDENCIES})
    list(APPEND deps ${d})
  endforeach()
  qt_add_qml_module(${target}
    URI ${M_URI}
    VERSION 1.0
    RESOURCE_PREFIX /qt/qml
    OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/qml/${uri_path}
    QML_FILES ${M_QML_FILES}
    RESOURCES ${M_RESOURCES}
    DEPENDENCIES ${deps}
    NO_LINT NO_CACHEGEN)
endfunction()
