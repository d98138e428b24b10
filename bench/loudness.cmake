# The renderer's loudness meter against libebur128 (the renderer's tests'
# independent meter), per frame.
if(TARGET selvarin_render_lib)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(EBUR128 IMPORTED_TARGET libebur128)
  if(EBUR128_FOUND)
    selvarin_add_bench(selvarin_loudness_bench ${CMAKE_CURRENT_LIST_DIR}/loudness_bench.cpp)
    target_link_libraries(selvarin_loudness_bench PRIVATE selvarin_render_lib PkgConfig::EBUR128)
  endif()
endif()
