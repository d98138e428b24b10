# One version for everything that states it: the factory's class version and
# the bundle's moduleinfo.json ("1.1.0"), the plug-in's version word, and the
# Windows version resource. All come from project(VERSION) through the
# generated header selvarin_version.h (target selvarin_version) and the
# SELVARIN_VERSION_* variables set here.
set(SELVARIN_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(SELVARIN_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(SELVARIN_VERSION_PATCH ${PROJECT_VERSION_PATCH})
set(SELVARIN_VERSION_STRING ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})

# The plug-in's version word keeps major in the upper 16 bits and minor and
# patch as two decimal digits in the next 8 bits ("v1.10" for 1.1.0), the
# form its VersionString shows; the low 8 bits stay 0.
if(SELVARIN_VERSION_PATCH GREATER 9 OR SELVARIN_VERSION_MINOR GREATER 25)
  message(FATAL_ERROR "Version ${SELVARIN_VERSION_STRING} does not fit the plug-in's version word")
endif()
math(EXPR SELVARIN_VENDOR_VERSION
     "(${SELVARIN_VERSION_MAJOR} << 16) | ((${SELVARIN_VERSION_MINOR} * 10 + ${SELVARIN_VERSION_PATCH}) << 8)"
     OUTPUT_FORMAT HEXADECIMAL)

configure_file(${CMAKE_CURRENT_LIST_DIR}/selvarin_version.h.in
               ${CMAKE_BINARY_DIR}/generated/selvarin_version.h @ONLY)
add_library(selvarin_version INTERFACE)
target_include_directories(selvarin_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
