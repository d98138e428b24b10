# selvarin_embed_images(<target> <id>=<file> ...)
#
# Compiles image files into <target> as resources looked up by numeric id
# (RasterLoadPngFromResource). A source file holding the bytes and an id
# table that registers itself at start-up is generated into the build tree
# and added to the target. Files may themselves be outputs of custom commands
# in the same directory. Give the final executable or module as the target
# (not a static library, whose linker could drop the unreferenced table).
include_guard(GLOBAL)

function(selvarin_embed_images target)
  if(ARGC LESS 2)
    message(FATAL_ERROR "selvarin_embed_images(${target}): no images given")
  endif()
  set(ids)
  set(files)
  foreach(entry IN LISTS ARGN)
    if(NOT entry MATCHES "^([0-9]+)=(.+)$")
      message(FATAL_ERROR "selvarin_embed_images(${target}): '${entry}' is not <id>=<file>")
    endif()
    set(id ${CMAKE_MATCH_1})
    set(file ${CMAKE_MATCH_2})
    if(NOT IS_ABSOLUTE "${file}")
      set(file ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endif()
    if(id IN_LIST ids)
      message(FATAL_ERROR "selvarin_embed_images(${target}): id ${id} given twice")
    endif()
    list(APPEND ids ${id})
    list(APPEND files ${file})
  endforeach()

  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/embed_images_write.cmake)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_embedded_images.cpp)
  string(REPLACE ";" "|" id_arg "${ids}")
  string(REPLACE ";" "|" file_arg "${files}")
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} "-DIDS=${id_arg}" "-DFILES=${file_arg}" "-DOUT=${out}" -P ${script}
    DEPENDS ${files} ${script}
    COMMENT "Embedding images into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
