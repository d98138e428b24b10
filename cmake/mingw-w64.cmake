# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix thread
# model: the win32 model lacks std::mutex and std::thread). Executables run
# under Wine, so ctest and build-time generators work unchanged.
#
# SELVARIN_WIN_DEPS: prefix of the libraries built for this target
# (libpng, googletest); scripts/build-windows builds and passes it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SELVARIN_WIN_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw} ${SELVARIN_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static libraries only: the host's pkg-config files describe Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${SELVARIN_WIN_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ZLIB_USE_STATIC_LIBS ON)

# libstdc++, libgcc and winpthread go inside each binary, so the bundle and
# the test programs need no MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
# The shipped module carries no symbol tables.
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")

# MinGW's math.h hides M_PI and friends in strict ISO mode; glibc shows them.
set(CMAKE_C_FLAGS_INIT "-D_USE_MATH_DEFINES")
set(CMAKE_CXX_FLAGS_INIT "-D_USE_MATH_DEFINES")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
