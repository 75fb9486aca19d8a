#!/usr/bin/env bash
# Builds a static, minimal Qt for 64-bit Windows (MinGW-w64, posix threads)
# from Debian's own qt6-base source, once per machine, and prints its install
# prefix as the last line of its output.
#
#   scripts/build-qt-mingw.sh
#
# The Qt lives in a cache folder outside the checkout,
#   ${QUINDOREL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quindorel}/qt-mingw-<key>
# where <key> hashes the source version, Debian's patches (through the
# version), our patch (scripts/qt-mingw/*.patch), the toolchain file, the
# compiler version and the configure options: a cache built with anything
# else is never used. A missing cache is built (about 13 minutes on 2 idle
# cores) in a temporary folder beside it and renamed into place only when the
# build succeeded. QT_MINGW_JOBS sets the parallel jobs (default: nproc).
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
log() { echo "build-qt-mingw: $*" >&2; }

"$repo_root/scripts/install-deps.sh" build windows >&2

# The host Qt provides moc, rcc and uic; the target Qt must be the same
# version, so the source is the one the host's qt6-base-dev was built from.
qt_source_version="$(dpkg-query -W -f='${source:Version}' qt6-base-dev)"
toolchain="$repo_root/cmake/mingw-w64.cmake"
patches=("$repo_root"/scripts/qt-mingw/*.patch)

configure_options=(
  -DCMAKE_BUILD_TYPE=Release
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DBUILD_SHARED_LIBS=OFF
  -DFEATURE_static_runtime=ON
  -DINPUT_opengl=no
  -DFEATURE_opengl=OFF
  -DFEATURE_direct2d=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_icu=OFF
  -DFEATURE_network=ON
  -DFEATURE_sql=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_printsupport=OFF
  -DFEATURE_jpeg=OFF
  -DFEATURE_gif=OFF
  -DFEATURE_fontconfig=OFF
  -DFEATURE_zstd=OFF
  -DFEATURE_vulkan=OFF
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_freetype=ON
  -DFEATURE_system_freetype=OFF
  -DFEATURE_testlib=ON
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
)

key="$({
  echo "qt6-base $qt_source_version"
  x86_64-w64-mingw32-g++-posix --version | head -n 1
  cat "$toolchain" "${patches[@]}"
  printf '%s\n' "${configure_options[@]}"
} | sha256sum | cut -c1-16)"
cache_root="${QUINDOREL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quindorel}"
prefix="$cache_root/qt-mingw-$key"

if [[ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache_root"
# One build at a time; a second caller waits and then finds the cache.
exec 9>"$cache_root/qt-mingw.lock"
flock 9
if [[ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]]; then
  echo "$prefix"
  exit 0
fi

work="$(mktemp -d "$cache_root/.qt-mingw-build.XXXXXX")"
trap 'rm -rf "$work"' EXIT
log "building Qt $qt_source_version for x86_64-w64-mingw32 into $prefix (about 13 minutes)"
started=$SECONDS

# --- source: Debian's, with Debian's patches applied -------------------------
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q "^Version: $qt_source_version\$"; then
  sources_file=/etc/apt/sources.list.d/quindorel-deb-src.sources
  log "adding $sources_file for Debian's source packages"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  # The same archives as the binary packages, so the same versions.
  if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources
  else
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' \
      'Suites: bookworm bookworm-updates' 'Components: main' \
      'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
  fi | "${sudo_cmd[@]}" tee "$sources_file" >/dev/null
  "${sudo_cmd[@]}" apt-get update -q >/dev/null
fi
(cd "$work" && apt-get source -q "qt6-base=$qt_source_version" >"$work/source.log" 2>&1) || {
  cat "$work/source.log" >&2
  exit 2
}
source_dir="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
for patch_file in "${patches[@]}"; do
  patch -d "$source_dir" -p1 --quiet <"$patch_file"
done

# --- configure, build, install -----------------------------------------------
cmake -S "$source_dir" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${configure_options[@]}" >"$work/configure.log" 2>&1 || {
  tail -n 60 "$work/configure.log" >&2
  exit 2
}
cmake --build "$work/build" -j "${QT_MINGW_JOBS:-$(nproc)}" >"$work/build.log" 2>&1 || {
  grep -B2 -A20 -m3 'FAILED:' "$work/build.log" >&2 || tail -n 60 "$work/build.log" >&2
  exit 2
}
# Installed under a staging root, then renamed to the prefix it was built for.
DESTDIR="$work/stage" cmake --install "$work/build" >"$work/install.log" 2>&1 || {
  tail -n 30 "$work/install.log" >&2
  exit 2
}
mv "$work/stage$prefix" "$prefix"
log "Qt built in $((SECONDS - started)) s"
echo "$prefix"
