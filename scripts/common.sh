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

kivra_log() { printf '== %s\n' "$*" >&2; }

# Installs the packages that are not there yet: one apt-get update, one apt-get install.
kivra_install_deps() {
  local missing=()
  for p in "${KIVRA_PACKAGES[@]}"; do
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
  export CCACHE_BASEDIR=$KIVRA_ROOT CCACHE_NOHASHDIR=1
  if [ ! -f "$dir/build.ninja" ]; then
    kivra_log "configuring $dir"
    cmake -S "$KIVRA_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  elif [ $# -gt 0 ]; then
    cmake -S "$KIVRA_ROOT" -B "$dir" "$@" >/dev/null
  fi
  kivra_log "building $dir"
  # One job per core: the machines are small and often shared.
  cmake --build "$dir" -j "$(nproc)" -- -k 0 | grep -v -E '^\[[0-9]+/[0-9]+\] |^ninja: no work to do' || true
  cmake --build "$dir" -j "$(nproc)" >/dev/null  # fails the script when the build above failed
}
