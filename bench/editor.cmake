# Editor drawing and start-up costs on the headless window host.
include(${PROJECT_SOURCE_DIR}/resources/editor_images.cmake)
selvarin_add_bench(selvarin_editor_bench ${CMAKE_CURRENT_SOURCE_DIR}/editor_bench.cpp)
target_link_libraries(selvarin_editor_bench PRIVATE ${_selvarin_bench_engine})
selvarin_embed_editor_images(selvarin_editor_bench)
