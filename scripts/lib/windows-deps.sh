# Sourced by scripts/build-windows: installs the cross toolchain and builds
# the MinGW libraries Debian does not ship, static, from Debian's source
# packages with Debian's patches applied.
#
# Each library is built once per source version, toolchain and recipe (its
# key) and kept in two places:
#   $WIN_CACHE/built/NAME-VERSION-KEY  outside the clone, so that every clone
#                                      and CI run on this machine reuses it
#   $WIN_DEPS (build-win/deps)         the prefix the cross build links with
# A library whose key is unchanged is neither fetched nor built again.

win_packages=(
  mingw-w64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 wine xvfb xauth fonts-dejavu-core xz-utils nsis
)

WIN_CACHE=${SELVARIN_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/selvarin/windows-deps}
WIN_HOST=x86_64-w64-mingw32

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

cmake_for_windows() {
  cmake -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DSELVARIN_WIN_DEPS="$WIN_DEPS" -DCMAKE_INSTALL_PREFIX="$WIN_DEPS" "$@"
}

# --- Debian source packages ------------------------------------------------

# Replaces FILE by TEXT in one step (other builds may be reading it).
win_write_if_changed() {
  [ "$(cat "$1" 2>/dev/null)" = "$2" ] && return 0
  printf '%s\n' "$2" >"$1.$$"
  mv -f "$1.$$" "$1"
}

win_apt() { APT_CONFIG=$WIN_CACHE/apt/apt.conf "$@" </dev/null; }

# A private apt configuration with one deb-src entry for bookworm (on the
# mirror the system already uses) leaves the system's package lists alone.
# Its lists are refreshed weekly, since a point release may replace a
# version; an offline machine goes on with the lists it has.
win_apt_setup() {
  [ -n "${WIN_APT_READY:-}" ] && return 0
  local apt=$WIN_CACHE/apt uri
  uri=$(grep -h -o -E 'https?://[^ ]*/debian/?$' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null | head -n1 || true)
  if [ -z "$uri" ]; then
    uri=$(grep -h -o -E '^deb +(\[[^]]*\] +)?https?://[^ ]*/debian/? ' /etc/apt/sources.list 2>/dev/null | awk '{print $NF}' | head -n1 || true)
  fi
  uri=${uri:-http://deb.debian.org/debian}
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  win_write_if_changed "$apt/sources.list" \
    "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm main"
  win_write_if_changed "$apt/apt.conf" "Dir::Etc::sourcelist \"$apt/sources.list\";
Dir::Etc::sourceparts \"$apt/sources.list.d\";
Dir::State::lists \"$apt/lists\";
Dir::Cache \"$apt/cache\";
APT::Sandbox::User \"root\";"
  if [ -z "$(find "$apt" -maxdepth 1 -name updated -mtime -7 2>/dev/null)" ] ||
     ! cmp -s "$apt/sources.list" "$apt/updated"; then
    if win_apt apt-get update -qq; then
      cp "$apt/sources.list" "$apt/updated"
    elif ! ls "$apt/lists/"*Sources* >/dev/null 2>&1; then
      echo "cannot read Debian's source package lists" >&2
      return 1
    fi
  fi
  WIN_APT_READY=1
}

debian_source_version() {
  win_apt_setup || return 1
  win_apt apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | head -n1
}

# Whether every file a .dsc lists is present with its checksum (an upstream
# signature, .asc, is not needed to build and some mirrors lack it).
debian_source_complete() {
  local dsc=$1 only=${2:-} sum size name
  [ -f "$dsc" ] || return 1
  while read -r sum size name; do
    case $name in *.asc) continue ;; esac
    [ -z "$only" ] || [[ $name == $only ]] || continue
    [ "$(sha256sum "$(dirname "$dsc")/$name" 2>/dev/null | cut -d' ' -f1)" = "$sum" ] || return 1
  done < <(awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on' "$dsc")
}

# Unpacks Debian's source package PKG at VERSION into DIR and applies the
# Debian patches. Downloads are kept under $WIN_CACHE/sources; apt checks
# each one against the signed index. With a fourth argument "upstream-ok",
# a package whose Debian part the mirror lacks is built from the upstream
# tarball it ships (still checked against the package's description), for
# libraries whose Debian part only packages them.
fetch_debian_source() {
  local pkg=$1 version=$2 dir=$3 upstream_ok=${4:-}
  local v=${version#*:}
  local up=${v%-*} store=$WIN_CACHE/sources/${pkg}_$v
  local dsc=$store/${pkg}_$v.dsc
  if ! debian_source_complete "$dsc" && ! { [ "$upstream_ok" = upstream-ok ] &&
         debian_source_complete "$dsc" "${pkg}_$up.orig.tar.*"; }; then
    win_apt_setup || return 1
    rm -rf "$store"
    mkdir -p "$store"
    # The status is judged by the files: a missing .asc fails apt-get.
    (cd "$store" && win_apt apt-get source --download-only -qq "$pkg=$version") || true
    if ! debian_source_complete "$dsc"; then
      if [ "$upstream_ok" = upstream-ok ] && debian_source_complete "$dsc" "${pkg}_$up.orig.tar.*"; then
        echo "   the mirror lacks the Debian part of $pkg $version: building its upstream tarball" >&2
        rm -f "$store/${pkg}_$v".debian.tar.*
      else
        echo "cannot fetch the source package $pkg $version" >&2
        return 1
      fi
    fi
  fi
  mkdir -p "$dir"
  local orig debian
  orig=$(ls "$store/${pkg}_$up".orig.tar.* | grep -v '\.asc$' | head -n1)
  tar -xf "$orig" -C "$dir" --strip-components=1
  debian=$(ls "$store/${pkg}_$v".debian.tar.* 2>/dev/null | head -n1 || true)
  [ -n "$debian" ] || return 0
  tar -xf "$debian" -C "$dir"
  [ -f "$dir/debian/patches/series" ] || return 0
  local patch opts
  while read -r patch opts; do
    case $patch in '' | '#'*) continue ;; esac
    patch -d "$dir" -s -f --no-backup-if-mismatch ${opts:--p1} -i "$dir/debian/patches/$patch"
  done < "$dir/debian/patches/series"
}

# --- building and caching -------------------------------------------------

win_toolchain_id() {
  dpkg-query -W -f='${Package}=${Version}\n' gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix \
    mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 libz-mingw-w64-dev cmake 2>/dev/null
}

win_sed_escape() { printf '%s' "$1" | sed 's/[][\.*^$|&/]/\\&/g'; }

# win_dep NAME VERSION RECIPE [DEPENDENCY...]: makes the library NAME
# available in $WIN_DEPS. RECIPE VERSION SRC BUILD STAGE fetches, builds and
# installs it into STAGE; the dependencies are in $WIN_DEPS already.
win_dep() {
  local name=$1 version=$2 recipe=$3
  shift 3
  [ -n "$version" ] || { echo "no source version found for $name" >&2; return 1; }
  local key dep
  key=$({
    echo "$name $version"
    win_toolchain_id
    declare -f "$recipe" win_cmake_dep win_configure_dep
    for dep in "$@"; do cat "$WIN_DEPS/.deps/$dep.key"; done
  } | sha256sum | cut -c1-12)
  local id=$name-$version-$key
  [ "$(cat "$WIN_DEPS/.deps/$name.key" 2>/dev/null)" = "$id" ] && return 0
  local entry=$WIN_CACHE/built/$id
  [ -f "$entry/.complete" ] || win_dep_build "$name" "$version" "$recipe" "$entry" || return 1
  win_dep_install "$name" "$entry" "$id"
}

win_dep_build() {
  local name=$1 version=$2 recipe=$3 entry=$4
  local work=$WIN_OUT/deps-build/$name start=$SECONDS
  echo "== $name $version for MinGW (once per version and toolchain)"
  rm -rf "$work"
  mkdir -p "$work"
  # A shell of its own, so that the recipe stops at its first failing step
  # whatever the caller's error handling.
  if ! env ROOT="$ROOT" WIN_OUT="$WIN_OUT" WIN_DEPS="$WIN_DEPS" JOBS="$JOBS" SELVARIN_WIN_CACHE="$WIN_CACHE" \
    bash -euo pipefail -c 'source "$0"; "$@"' "$ROOT/scripts/lib/windows-deps.sh" \
    "$recipe" "$version" "$work/src" "$work/build" "$work/stage" >"$work/build.log" 2>&1; then
    tail -n 30 "$work/build.log"
    echo "building $name failed; the whole log is $work/build.log" >&2
    return 1
  fi
  local stage=$work/stage
  rm -rf "$stage/share/doc" "$stage/share/man" "$stage/bin"
  find "$stage" -name '*.la' -delete
  # The staging folder in .pc and CMake files becomes a placeholder, filled
  # in with the prefix each clone installs into.
  grep -rlIF -- "$stage" "$stage" | while IFS= read -r f; do
    sed -i "s/$(win_sed_escape "$stage")/@WIN_DEPS@/g" "$f"
  done
  mkdir -p "$WIN_CACHE/built"
  local tmp
  tmp=$(mktemp -d "$WIN_CACHE/built/.$name.XXXXXX")
  cp -a "$stage/." "$tmp/" || return 1
  touch "$tmp/.complete"
  # Another build of the same key may have finished first; either will do.
  mv -T "$tmp" "$entry" 2>/dev/null || rm -rf "$tmp"
  rm -rf "$work"
  echo "   $name built in $((SECONDS - start)) s"
}

# Copies a cached library into $WIN_DEPS, removing the files an earlier
# version of it put there.
win_dep_install() {
  local name=$1 entry=$2 id=$3 list=$WIN_DEPS/.deps/$1.files
  mkdir -p "$WIN_DEPS/.deps"
  rm -f "$WIN_DEPS/.deps/$name.key"
  [ -f "$list" ] && (cd "$WIN_DEPS" && xargs -r -d '\n' rm -f <"$list")
  (cd "$entry" && find . ! -type d ! -name .complete) >"$list"
  (cd "$entry" && tar -cf - --exclude=./.complete .) | (cd "$WIN_DEPS" && tar -xf -)
  local prefix
  prefix=$(win_sed_escape "$WIN_DEPS")
  (cd "$WIN_DEPS" && xargs -r -d '\n' grep -lIF '@WIN_DEPS@' <"$list" || true) | while IFS= read -r f; do
    sed -i "s/@WIN_DEPS@/$prefix/g" "$WIN_DEPS/$f"
  done
  echo "$id" >"$WIN_DEPS/.deps/$name.key"
}

# CMake project at SRC, static and optimised, installed into STAGE.
win_cmake_dep() {
  local src=$1 build=$2 stage=$3
  shift 3
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake_for_windows -S "$src" -B "$build" -DCMAKE_INSTALL_PREFIX="$stage" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_TESTING=OFF -DCMAKE_CROSSCOMPILING_EMULATOR= "${launcher[@]}" "$@"
  cmake --build "$build" -j"$JOBS"
  cmake --install "$build"
}

# Autotools project at SRC, configured for static libraries only.
win_configure_dep() {
  local src=$1 build=$2 stage=$3
  shift 3
  local cc=$WIN_HOST-gcc-posix
  command -v ccache >/dev/null && cc="ccache $cc"
  mkdir -p "$build"
  (cd "$build" && "$src/configure" --host=$WIN_HOST --prefix="$stage" --disable-shared --enable-static \
    --disable-dependency-tracking CC="$cc" AR=$WIN_HOST-ar RANLIB=$WIN_HOST-ranlib CFLAGS=-O2 \
    PKG_CONFIG_LIBDIR="$WIN_DEPS/lib/pkgconfig" "$@")
}

# --- the libraries --------------------------------------------------------

recipe_libpng() {
  fetch_debian_source libpng1.6 "$1" "$2"
  win_cmake_dep "$2" "$3" "$4" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON -DZLIB_USE_STATIC_LIBS=ON
}
build_win_libpng() { win_dep libpng "$(debian_source_version libpng1.6)" recipe_libpng; }

# GoogleTest from the source Debian installs under /usr/src/googletest.
recipe_gtest() {
  win_cmake_dep /usr/src/googletest "$3" "$4" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
}
build_win_gtest() { win_dep gtest "$(dpkg-query -W -f='${Version}' googletest)" recipe_gtest; }

recipe_libogg() {
  fetch_debian_source libogg "$1" "$2"
  win_cmake_dep "$2" "$3" "$4" -DINSTALL_DOCS=OFF
}
build_win_libogg() { win_dep libogg "$(debian_source_version libogg)" recipe_libogg; }

recipe_libvorbis() {
  fetch_debian_source libvorbis "$1" "$2"
  win_cmake_dep "$2" "$3" "$4"
}
build_win_libvorbis() { win_dep libvorbis "$(debian_source_version libvorbis)" recipe_libvorbis libogg; }

recipe_flac() {
  fetch_debian_source flac "$1" "$2"
  win_cmake_dep "$2" "$3" "$4" -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF \
    -DINSTALL_MANPAGES=OFF -DWITH_OGG=ON
}
build_win_flac() { win_dep flac "$(debian_source_version flac)" recipe_flac libogg; }

# Opus 1.3.1's release lacks part of its CMake files; autotools, as Debian.
recipe_opus() {
  fetch_debian_source opus "$1" "$2"
  win_configure_dep "$2" "$3" "$4" --disable-doc --disable-extra-programs
  make -C "$3" -j"$JOBS"
  make -C "$3" install
}
build_win_opus() { win_dep opus "$(debian_source_version opus)" recipe_opus; }

# LAME builds with autotools only; just the encoder library and its header.
recipe_lame() {
  fetch_debian_source lame "$1" "$2"
  win_configure_dep "$2" "$3" "$4" --disable-frontend --disable-decoder --disable-gtktest
  make -C "$3/libmp3lame" -j"$JOBS"
  make -C "$3/libmp3lame" install
  make -C "$3/include" install
}
build_win_lame() { win_dep lame "$(debian_source_version lame)" recipe_lame; }

recipe_mpg123() {
  fetch_debian_source mpg123 "$1" "$2"
  win_cmake_dep "$2/ports/cmake" "$3" "$4" -DBUILD_LIBOUT123=OFF -DBUILD_PROGRAMS=OFF
}
build_win_mpg123() { win_dep mpg123 "$(debian_source_version mpg123)" recipe_mpg123; }

# libsndfile finds the codecs through pkg-config; FLAC__NO_DLL tells FLAC's
# headers that it is linked statically.
recipe_libsndfile() {
  fetch_debian_source libsndfile "$1" "$2"
  win_cmake_dep "$2" "$3" "$4" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DENABLE_CPACK=OFF \
    -DENABLE_PACKAGE_CONFIG=OFF -DINSTALL_PKGCONFIG_MODULE=ON -DENABLE_EXTERNAL_LIBS=ON -DENABLE_MPEG=ON \
    -DCMAKE_C_FLAGS="-D_USE_MATH_DEFINES -DFLAC__NO_DLL"
  # Without a codec libsndfile still builds, and cannot write that format.
  grep -q 'vorbisenc' "$4/lib/pkgconfig/sndfile.pc" && grep -q 'libmpg123' "$4/lib/pkgconfig/sndfile.pc" ||
    { echo "libsndfile was configured without its codecs" >&2; return 1; }
}
build_win_libsndfile() {
  win_dep libsndfile "$(debian_source_version libsndfile)" recipe_libsndfile libogg libvorbis flac opus lame mpg123
}

# libebur128: the independent loudness meter the renderer's tests measure
# with. Its own queue.h stands in for the BSD one MinGW lacks.
recipe_libebur128() {
  fetch_debian_source libebur128 "$1" "$2" upstream-ok
  win_cmake_dep "$2" "$3" "$4" -DENABLE_TESTS=OFF
}
build_win_libebur128() { win_dep libebur128 "$(debian_source_version libebur128)" recipe_libebur128; }

# libsndfile with every codec the renderer writes, in dependency order.
build_win_sndfile() {
  build_win_libogg
  build_win_libvorbis
  build_win_flac
  build_win_opus
  build_win_lame
  build_win_mpg123
  build_win_libsndfile
}

# PortAudio for the desktop application (Selvarin.exe): WASAPI and MME.
# 19.6's WASAPI part includes the Windows SDK's headers only for MSVC and
# otherwise old copies of its own that no longer fit MinGW-w64's: the
# MinGW-w64 headers serve instead (under their lower-case names), with the
# device-name key from functiondiscoverykeys_devpkey.h.
recipe_portaudio() {
  fetch_debian_source portaudio19 "$1" "$2"
  sed -i -e 's/^#if defined(_MSC_VER) && (_MSC_VER >= 1400)$/#if (defined(_MSC_VER) \&\& (_MSC_VER >= 1400)) || defined(__MINGW64_VERSION_MAJOR)/' \
    -e 's/<Avrt.h>/<avrt.h>/' -e 's/<Audioclient.h>/<audioclient.h>/' \
    -e '0,/<functiondiscoverykeys.h>/s//<functiondiscoverykeys_devpkey.h>/' "$2/src/hostapi/wasapi/pa_win_wasapi.c"
  rm -f "$2"/src/hostapi/wasapi/mingw-include/*.h
  win_configure_dep "$2" "$3" "$4" --with-winapi=wmme,wasapi
  # Built outside its source tree, it needs the source's folders for its
  # objects; its makefile makes only some of them (not src/hostapi/skeleton),
  # and in a rule that a parallel build may reach after the first compile.
  (cd "$2" && find src -type d -print0) | (cd "$3" && xargs -0 mkdir -p)
  make -C "$3" -j"$JOBS"
  make -C "$3" install
}
build_win_portaudio() { win_dep portaudio "$(debian_source_version portaudio19)" recipe_portaudio; }
