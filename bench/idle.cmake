# What an open editor costs while nothing changes: one timed run of a plain
# program (no Google Benchmark) that hosts the built bundle's editor in a
# real window of the system this build embeds into. bench/editor_idle.sh
# runs it.
if(NOT SELVARIN_VST3_BUNDLE)
  return()
endif()
if(SELVARIN_WINDOW_HOST STREQUAL "x11")
  find_package(X11 REQUIRED)
  add_executable(selvarin_editor_idle
    ${CMAKE_CURRENT_SOURCE_DIR}/x11/editor_idle_x11.cpp
    ${PROJECT_SOURCE_DIR}/tests/x11/poll_run_loop.cpp
    ${PROJECT_SOURCE_DIR}/tests/x11/x_driver.cpp
    ${PROJECT_SOURCE_DIR}/tests/x11/xvfb_session.cpp)
  target_link_libraries(selvarin_editor_idle PRIVATE selvarin_vst3_host selvarin_raster X11::X11 X11::Xtst)
elseif(SELVARIN_WINDOW_HOST STREQUAL "win32")
  add_executable(selvarin_editor_idle ${CMAKE_CURRENT_SOURCE_DIR}/win32/editor_idle_win32.cpp)
  target_link_libraries(selvarin_editor_idle PRIVATE selvarin_vst3_host)
else()
  return()
endif()
target_compile_options(selvarin_editor_idle PRIVATE ${SELVARIN_WARNINGS})
target_include_directories(selvarin_editor_idle PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/x11)
target_compile_definitions(selvarin_editor_idle PRIVATE SELVARIN_BENCH_BUNDLE="${SELVARIN_VST3_BUNDLE}")
add_dependencies(selvarin_editor_idle selvarin_vst3)
