# The factory preset library, tested on its own against the SDK-free adapter.
selvarin_add_test(selvarin_factory_presets_test
  ${CMAKE_CURRENT_SOURCE_DIR}/factory_presets_test.cpp
  ${PROJECT_SOURCE_DIR}/engine/factory_presets.cpp)
target_link_libraries(selvarin_factory_presets_test PRIVATE selvarin_test_support)
