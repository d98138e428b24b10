# Builds a VST3 bundle directory around a module:
#   <dir>/<name>.vst3/Contents/<arch>-linux/<name>.so        (Linux)
#   <dir>/<name>.vst3/Contents/x86_64-win/<name>.vst3        (Windows; the DLL)
#   <dir>/<name>.vst3/Contents/Resources/moduleinfo.json
set(SELVARIN_VST3_DIR ${CMAKE_CURRENT_LIST_DIR})
if(WIN32)
  set(SELVARIN_VST3_ARCH x86_64-win)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(SELVARIN_VST3_ARCH x86_64-linux)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(SELVARIN_VST3_ARCH aarch64-linux)
else()
  set(SELVARIN_VST3_ARCH ${CMAKE_SYSTEM_PROCESSOR}-linux)
endif()

# Windows: the DLL entry point and the version resource. (The editor's
# images become "PNG" resources through selvarin_embed_editor_images.)
function(_selvarin_vst3_windows_parts target)
  target_sources(${target} PRIVATE ${SELVARIN_VST3_DIR}/win32/dll_main.cpp ${SELVARIN_VST3_DIR}/win32/module_version.rc)
  set_target_properties(${target} PROPERTIES SUFFIX ".vst3")
endfunction()

function(selvarin_add_vst3_bundle target name)
  cmake_parse_arguments(B "" "OUTPUT_DIR" "SOURCES;LIBRARIES" ${ARGN})
  set(bundle ${B_OUTPUT_DIR}/${name}.vst3)
  add_library(${target} MODULE ${SELVARIN_VST3_DIR}/module_entry.cpp ${B_SOURCES})
  selvarin_target_defaults(${target})
  if(WIN32)
    _selvarin_vst3_windows_parts(${target})
  else()
    target_sources(${target} PRIVATE ${SELVARIN_VST3_DIR}/linux/module_entry_linux.cpp)
  endif()
  target_link_libraries(${target} PRIVATE ${B_LIBRARIES} selvarin_vst3_adapter selvarin_version)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${name}
    LIBRARY_OUTPUT_DIRECTORY ${bundle}/Contents/${SELVARIN_VST3_ARCH}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  # Only the entry points leave the module; the SDK and our static
  # libraries stay private to it.
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
  configure_file(${SELVARIN_VST3_DIR}/moduleinfo.json.in ${bundle}/Contents/Resources/moduleinfo.json @ONLY)
endfunction()

# `cmake --install` puts the bundle where Linux hosts look: ~/.vst3 when no
# prefix was chosen, <prefix>/lib/vst3 otherwise (at configure time with
# CMAKE_INSTALL_PREFIX or at install time with --prefix).
if(NOT DEFINED CACHE{SELVARIN_VST3_USER_INSTALL})
  if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(_user ON)
  else()
    set(_user OFF)
  endif()
  set(SELVARIN_VST3_USER_INSTALL ${_user} CACHE BOOL "Install the VST3 bundle into ~/.vst3 unless a prefix is given")
  set(SELVARIN_VST3_DEFAULT_PREFIX ${CMAKE_INSTALL_PREFIX} CACHE INTERNAL "")
endif()

function(selvarin_install_vst3_bundle bundle)
  if(SELVARIN_VST3_USER_INSTALL)
    set(user 1)
  else()
    set(user 0)
  endif()
  install(CODE "
    if(\"${user}\" STREQUAL \"1\" AND \"\${CMAKE_INSTALL_PREFIX}\" STREQUAL \"${SELVARIN_VST3_DEFAULT_PREFIX}\")
      set(_vst3_dest \"\$ENV{HOME}/.vst3\")
    else()
      set(_vst3_dest \"\${CMAKE_INSTALL_PREFIX}/lib/vst3\")
    endif()
    file(INSTALL DESTINATION \"\${_vst3_dest}\" TYPE DIRECTORY FILES \"${bundle}\" USE_SOURCE_PERMISSIONS)
  ")
endfunction()
