# Shared by scripts/run and scripts/test: install what is missing, configure, build.
# Sourced, not run.

KIVRA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KIVRA_PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libgl-dev qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core fonts-liberation2
  xvfb xauth python3
  dpkg-dev file lintian desktop-file-utils appstream man-db groff-base bash-completion
  shared-mime-info xdg-utils
)

# Only the Windows stage of scripts/test and scripts/package-windows need these: the
# mingw-w64 cross compiler (POSIX threads), 64-bit wine, and GoogleTest's sources.
KIVRA_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 googletest zip)

kivra_log() { printf '== %s\n' "$*" >&2; }

# Installs the packages that are not there yet: one apt-get update, one apt-get install.
kivra_install_deps() {
  kivra_install_packages "${KIVRA_PACKAGES[@]}"
}

kivra_install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root (or sudo) to install: ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  kivra_log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# kivra_build DIR [cmake options...]: configure (the options given win over what the folder
# was configured with before), then build everything configured.
kivra_build() {
  local dir=$1; shift
  kivra_configure "$dir" "$@"
  kivra_log "building $dir"
  # One job per core: the machines are small and often shared.
  cmake --build "$dir" -j "$(nproc)" -- -k 0 | grep -v -E '^\[[0-9]+/[0-9]+\] |^ninja: no work to do' || true
  cmake --build "$dir" -j "$(nproc)" >/dev/null  # fails the script when the build above failed
}

# kivra_build_target DIR TARGET [cmake options...]: configure as kivra_build does, then build
# one target and what it needs.
kivra_build_target() {
  local dir=$1 target=$2; shift 2
  kivra_configure "$dir" "$@"
  kivra_log "building $target in $dir"
  cmake --build "$dir" -j "$(nproc)" --target "$target" >/dev/null
}

kivra_configure() {
  local dir=$1; shift
  export CCACHE_BASEDIR=$KIVRA_ROOT CCACHE_NOHASHDIR=1
  if [ ! -f "$dir/build.ninja" ]; then
    kivra_log "configuring $dir"
    cmake -S "$KIVRA_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  elif [ $# -gt 0 ]; then
    cmake -S "$KIVRA_ROOT" -B "$dir" "$@" >/dev/null
  fi
}

# kivra_build_windows DIR [cmake options...]: the command line tool and the core tests,
# cross-built for 64-bit Windows.
kivra_build_windows() {
  local dir=$1; shift
  kivra_build "$dir" -DCMAKE_TOOLCHAIN_FILE="$KIVRA_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DKIVRA_WITH_APP=OFF -DKIVRA_WITH_BENCH=OFF "$@"
}
