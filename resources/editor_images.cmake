# selvarin_embed_editor_images(<target>)
#
# Compiles the editor's eleven images into <target> (an executable or module)
# as resources 100 to 110, and their twice-as-large versions (NAME@2x.png,
# for scaled displays) as resources 1100 to 1110: the id plus 1000, as the
# editor looks them up. An image file that is not there yet is left out; the
# editor then draws nothing where that image goes (a missing large version:
# the editor enlarges the small one).
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/embed_images.cmake)

function(selvarin_embed_editor_images target)
  set(SELVARIN_EDITOR_IMAGES
    100=bg.png 101=knob.png 102=knob2.png 103=wave.png 104=lfo_wave.png 105=btn.png
    106=btn3.png 107=lfo_tg.png 108=lfo_tg_.png 109=rate_sync.png 110=btn2.png)
  set(SELVARIN_EDITOR_IMAGE_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/img)
  set(entries)
  set(missing)
  foreach(item IN LISTS SELVARIN_EDITOR_IMAGES)
    string(REGEX MATCH "^([0-9]+)=(.+)[.]png$" _ "${item}")
    set(id ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    math(EXPR large_id "${id} + 1000")
    foreach(pair IN ITEMS "${id}=${name}.png" "${large_id}=${name}@2x.png")
      string(REGEX MATCH "^([0-9]+)=(.+)$" _ "${pair}")
      set(file ${SELVARIN_EDITOR_IMAGE_DIR}/${CMAKE_MATCH_2})
      if(EXISTS ${file})
        list(APPEND entries ${CMAKE_MATCH_1}=${file})
      else()
        list(APPEND missing ${CMAKE_MATCH_2})
      endif()
    endforeach()
  endforeach()
  if(missing)
    message(STATUS "Selvarin editor images not there yet: ${missing}")
  endif()
  if(entries)
    selvarin_embed_images(${target} ${entries})
  endif()
endfunction()
