# The application's live figures are measured by bench/standalone_live.sh;
# this is the bare PortAudio client it measures beside it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SELVARIN_BENCH_PORTAUDIO IMPORTED_TARGET portaudio-2.0)
if(SELVARIN_BENCH_PORTAUDIO_FOUND AND NOT WIN32)
  add_executable(selvarin_portaudio_baseline ${CMAKE_CURRENT_SOURCE_DIR}/portaudio_baseline.cpp)
  target_compile_options(selvarin_portaudio_baseline PRIVATE ${SELVARIN_WARNINGS})
  target_link_libraries(selvarin_portaudio_baseline PRIVATE PkgConfig::SELVARIN_BENCH_PORTAUDIO)
endif()
