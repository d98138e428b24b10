# The Steinberg VST3 SDK as Debian's juce-modules-source-data ships it. Its
# sources are compiled in place, with their own relaxed warnings: the SDK is
# not ours to keep -Wall -Wextra clean.
set(SELVARIN_VST3_SDK_DIR
    /usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK
    CACHE PATH "Root of the VST3 SDK (pluginterfaces, base, public.sdk)")
if(NOT EXISTS ${SELVARIN_VST3_SDK_DIR}/pluginterfaces/base/funknown.h)
  message(FATAL_ERROR "VST3 SDK not found at ${SELVARIN_VST3_SDK_DIR} (install juce-modules-source-data)")
endif()

set(_sdk ${SELVARIN_VST3_SDK_DIR})
add_library(selvarin_vst3_sdk STATIC
  ${_sdk}/pluginterfaces/base/conststringtable.cpp
  ${_sdk}/pluginterfaces/base/coreiids.cpp
  ${_sdk}/pluginterfaces/base/funknown.cpp
  ${_sdk}/pluginterfaces/base/ustring.cpp
  ${_sdk}/base/source/baseiids.cpp
  ${_sdk}/base/source/fbuffer.cpp
  ${_sdk}/base/source/fdebug.cpp
  ${_sdk}/base/source/fobject.cpp
  ${_sdk}/base/source/fstreamer.cpp
  ${_sdk}/base/source/fstring.cpp
  ${_sdk}/base/source/updatehandler.cpp
  ${_sdk}/base/thread/source/flock.cpp
  ${_sdk}/public.sdk/source/common/memorystream.cpp
  ${_sdk}/public.sdk/source/common/pluginview.cpp
  ${_sdk}/public.sdk/source/vst/vstbus.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponentbase.cpp
  ${_sdk}/public.sdk/source/vst/vsteditcontroller.cpp
  ${_sdk}/public.sdk/source/vst/vstinitiids.cpp
  ${_sdk}/public.sdk/source/vst/vstparameters.cpp
  ${_sdk}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${_sdk}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
  # The package lacks the file that defines the view and frame interface ids.
  ${CMAKE_CURRENT_SOURCE_DIR}/sdk_view_iids.cpp
)
if(WIN32)
  # The SDK's class ids and strings use COM helpers.
  target_link_libraries(selvarin_vst3_sdk PUBLIC ole32)
else()
  target_sources(selvarin_vst3_sdk PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/linux/sdk_run_loop_iids.cpp)
endif()
target_include_directories(selvarin_vst3_sdk SYSTEM PUBLIC ${_sdk})
target_compile_definitions(selvarin_vst3_sdk PUBLIC RELEASE=1)
target_compile_options(selvarin_vst3_sdk PRIVATE -w)
find_package(Threads REQUIRED)
target_link_libraries(selvarin_vst3_sdk PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
