# Shared by scripts/test and scripts/demo: packages, configure and build.
# shellcheck shell=bash

ZENDREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build and the tests need.
ZENDREL_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache git
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins
  libcurl4-openssl-dev libpng-dev zlib1g-dev libx11-dev libssl-dev
  libcpp-httplib-dev libgtest-dev
  fonts-liberation2 fonts-dejavu-core xdg-utils util-linux openssl curl
)
ZENDREL_TEST_PACKAGES=(
  xvfb xauth xdotool x11-utils openbox trayer python3-pyftpdlib
)

log() { printf '== %s\n' "$*"; }

# Installs the listed packages that are missing, quietly.
need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq >/dev/null &&
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    { echo "could not install: ${missing[*]}" >&2; return 1; }
}

# configure DIR [cmake options...]
configure() {
  local dir=$1
  shift
  export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/zendrel-ccache}
  cmake -S "$ZENDREL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log" >&2; return 1; }
}

# build DIR [targets...]
build() {
  local dir=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" "${targets[@]}" -- -j"$(nproc)" >"$dir.build.log" 2>&1 ||
    { grep -E 'error|FAILED' -A5 "$dir.build.log" | head -80 >&2; echo "build failed: see $dir.build.log" >&2; return 1; }
}

configure_and_build() {
  local dir=$1
  shift
  configure "$dir" "$@" && build "$dir"
}
