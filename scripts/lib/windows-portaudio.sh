# Sourced by scripts/build-windows: PortAudio for the Windows application
# (Selvarin.exe), cross-built with MinGW from Debian's portaudio19 source
# package: static, WASAPI and MME. The build is kept in a cache outside the
# clone, keyed by the source version, the toolchain and this recipe, so
# repeated builds on one machine (and fresh clones in CI) skip it; the
# library is then copied into $WIN_DEPS.

portaudio_recipe=1

# Debian's source package of a version (or the bookworm one), unpacked with
# its patches into $2/src. A private apt configuration with one deb-src
# entry leaves the system's package lists alone.
fetch_portaudio_source() {
  local version=$1 dir=$2 apt=$2/apt uri
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
  (cd "$dir" && { APT_CONFIG=$apt/apt.conf apt-get source --download-only -qq "portaudio19=$version" </dev/null ||
                  APT_CONFIG=$apt/apt.conf apt-get source --download-only -qq portaudio19/bookworm </dev/null; })
  dpkg-source --no-check -x "$(ls "$dir"/portaudio19_*.dsc | head -n1)" "$dir/src" >/dev/null
}

# PortAudio 19.6's WASAPI part includes the Windows SDK's headers only for
# MSVC and otherwise its own old copies, which no longer match MinGW-w64's:
# the MinGW-w64 headers serve (their names in lower case), and the device
# name key comes from functiondiscoverykeys_devpkey.h.
patch_portaudio_for_mingw() {
  local src=$1 f=$1/src/hostapi/wasapi/pa_win_wasapi.c
  sed -i -e 's/^#if defined(_MSC_VER) && (_MSC_VER >= 1400)$/#if (defined(_MSC_VER) \&\& (_MSC_VER >= 1400)) || defined(__MINGW64_VERSION_MAJOR)/' \
    -e 's/<Avrt.h>/<avrt.h>/' -e 's/<Audioclient.h>/<audioclient.h>/' \
    -e '0,/<functiondiscoverykeys.h>/s//<functiondiscoverykeys_devpkey.h>/' "$f"
  rm -f "$src"/src/hostapi/wasapi/mingw-include/*.h
}

build_win_portaudio() {
  [ -f "$WIN_DEPS/lib/libportaudio.a" ] && [ -f "$WIN_DEPS/lib/pkgconfig/portaudio-2.0.pc" ] && return 0
  local version gcc mingw cache
  version=$(dpkg-query -W -f='${source:Version}' portaudio19-dev 2>/dev/null || true)
  version=${version:-19.6.0-1.2}
  gcc=$(x86_64-w64-mingw32-gcc-posix -dumpfullversion)
  mingw=$(dpkg-query -W -f='${Version}' mingw-w64-x86-64-dev 2>/dev/null || echo unknown)
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/selvarin/mingw-deps/portaudio-$version-gcc$gcc-mingw$mingw-r$portaudio_recipe
  if [ ! -f "$cache/lib/libportaudio.a" ]; then
    echo "== PortAudio $version for MinGW (once per version and toolchain, cached in $cache)"
    local work=$WIN_OUT/portaudio-build
    rm -rf "$work"
    mkdir -p "$work"
    fetch_portaudio_source "$version" "$work"
    patch_portaudio_for_mingw "$work/src"
    (cd "$work/src" &&
      ./configure --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix CFLAGS=-O2 \
        --with-winapi=wmme,wasapi --enable-static --disable-shared --prefix="$work/install" >"$work/configure.log" 2>&1 &&
      make -j"$JOBS" >"$work/build.log" 2>&1 && make install >/dev/null) ||
      { tail -n 30 "$work/configure.log" "$work/build.log" 2>/dev/null; return 1; }
    mkdir -p "$(dirname "$cache")"
    rm -rf "$cache.tmp"
    mkdir -p "$cache.tmp/lib" "$cache.tmp/include"
    cp "$work/install/lib/libportaudio.a" "$cache.tmp/lib/"
    cp "$work/install/include/portaudio.h" "$cache.tmp/include/"
    rm -rf "$cache"
    mv "$cache.tmp" "$cache"
    rm -rf "$work"
  fi
  mkdir -p "$WIN_DEPS/lib/pkgconfig" "$WIN_DEPS/include"
  cp "$cache/lib/libportaudio.a" "$WIN_DEPS/lib/"
  cp "$cache/include/portaudio.h" "$WIN_DEPS/include/"
  cat > "$WIN_DEPS/lib/pkgconfig/portaudio-2.0.pc" <<PC
prefix=$WIN_DEPS
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: PortAudio
Description: Portable audio I/O (static, WASAPI and MME)
Version: 19
Libs: -L\${libdir} -lportaudio -lwinmm -lole32 -luuid -lm
Cflags: -I\${includedir}
PC
}
