# Sourced by scripts/build-windows: installs the cross toolchain and builds
# the MinGW libraries Debian does not ship, once, under $WIN_OUT/deps.

win_packages=(
  mingw-w64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 wine xvfb xauth fonts-dejavu-core xz-utils
)

install_win_toolchain() {
  local missing=() p
  for p in "${win_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

# libpng from Debian's bookworm source package. A private apt configuration
# with one deb-src entry (on the mirror the system already uses) leaves the
# system's package lists alone.
fetch_libpng_source() {
  local dir=$1 apt=$1/apt uri
  uri=$(grep -h -o -E 'https?://[^ ]*/debian/?$' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null | head -n1 || true)
  if [ -z "$uri" ]; then
    uri=$(grep -h -o -E '^deb +(\[[^]]*\] +)?https?://[^ ]*/debian/? ' /etc/apt/sources.list 2>/dev/null | awk '{print $NF}' | head -n1 || true)
  fi
  uri=${uri:-http://deb.debian.org/debian}
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm main" > "$apt/sources.list"
  cat > "$apt/apt.conf" <<CONF
Dir::Etc::sourcelist "$apt/sources.list";
Dir::Etc::sourceparts "$apt/sources.list.d";
Dir::State::lists "$apt/lists";
Dir::Cache "$apt/cache";
APT::Sandbox::User "root";
CONF
  APT_CONFIG=$apt/apt.conf apt-get update -qq </dev/null
  (cd "$dir" && APT_CONFIG=$apt/apt.conf apt-get source --download-only -qq libpng1.6/bookworm </dev/null)
  local orig
  orig=$(ls "$dir"/libpng1.6_*.orig.tar.* | head -n1)
  mkdir -p "$dir/src"
  tar -xf "$orig" -C "$dir/src" --strip-components=1
}

cmake_for_windows() {
  cmake -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DSELVARIN_WIN_DEPS="$WIN_DEPS" -DCMAKE_INSTALL_PREFIX="$WIN_DEPS" "$@"
}

build_win_libpng() {
  [ -f "$WIN_DEPS/lib/libpng16.a" ] && [ -f "$WIN_DEPS/include/png.h" ] && return 0
  echo "== libpng for MinGW (once)"
  local work=$WIN_OUT/libpng-build
  rm -rf "$work"
  mkdir -p "$work"
  fetch_libpng_source "$work"
  cmake_for_windows -S "$work/src" -B "$work/build" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
    -DZLIB_USE_STATIC_LIBS=ON -DCMAKE_CROSSCOMPILING_EMULATOR= >"$work/configure.log"
  cmake --build "$work/build" -j"$JOBS" >"$work/build.log"
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
}

# GoogleTest from the source Debian installs under /usr/src/googletest.
build_win_gtest() {
  [ -f "$WIN_DEPS/lib/libgtest.a" ] && [ -f "$WIN_DEPS/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
  echo "== GoogleTest for MinGW (once)"
  local work=$WIN_OUT/gtest-build
  rm -rf "$work"
  cmake_for_windows -S /usr/src/googletest -B "$work" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
    -Dgtest_disable_pthreads=OFF >"$WIN_OUT/gtest-configure.log"
  cmake --build "$work" -j"$JOBS" >"$WIN_OUT/gtest-build.log"
  cmake --install "$work" >/dev/null
  rm -rf "$work"
}
