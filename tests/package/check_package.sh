#!/usr/bin/env bash
# The Debian package's checks, one step per ctest test:
#   check_package.sh STEP BUILD_DIR WORK_DIR VERSION
# "build" makes the package with CPack into WORK_DIR and unpacks it into WORK_DIR/root;
# every other step checks what it left there. Each step fails with a message that says what
# is missing or wrong.
set -euo pipefail

step=$1 build=$2 work=$3 version=$4
root=$work/root
share=$root/usr/share
arch=$(dpkg --print-architecture)
deb=$work/kivra-ps_${version}_${arch}.deb

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
finish() {
  if ((failures > 0)); then
    echo "$failures check(s) failed in step $step" >&2
    exit 1
  fi
  echo "step $step: all checks passed"
}
# Runs a tool whose every line on stderr is a complaint.
quiet() {
  local err
  err=$("$@" 2>&1 >/dev/null) || { fail "$* failed: $err"; return; }
  [ -z "$err" ] || fail "$*: $err"
}

build_package() {
  rm -rf "$work"
  mkdir -p "$work"
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; return; }
  local built=("$work"/*.deb)
  [ ${#built[@]} -eq 1 ] && [ "${built[0]}" = "$deb" ] || fail "expected exactly $deb, got: ${built[*]}"
  [ -f "$deb" ] && dpkg-deb -x "$deb" "$root"
}

check_contents() {
  local listing
  listing=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
  local expected=(
    /usr/bin/kivra
    /usr/bin/kivra-ps
    /usr/share/applications/kivra-ps.desktop
    /usr/share/icons/hicolor/scalable/apps/kivra-ps.svg
    /usr/share/mime/packages/kivra-ps.xml
    /usr/share/metainfo/kivra-ps.metainfo.xml
    /usr/share/man/man1/kivra.1.gz
    /usr/share/man/man1/kivra-ps.1.gz
    /usr/share/bash-completion/completions/kivra
    /usr/share/bash-completion/completions/kivra-ps
    /usr/share/doc/kivra-ps/copyright
    /usr/share/doc/kivra-ps/changelog.gz
    /usr/share/doc/kivra-ps/examples/homing.kv3
  )
  local path
  for path in "${expected[@]}"; do
    grep -qx -- "$path" <<<"$listing" || fail "the package lacks $path"
  done
  local field
  field=$(dpkg-deb -f "$deb" Version)
  [ "$field" = "$version" ] || fail "package version '$field', project version '$version'"
  # Dependencies computed from the binaries name the Qt libraries.
  field=$(dpkg-deb -f "$deb" Depends)
  for lib in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6svg6; do
    grep -q "\b$lib\b" <<<"$field" || fail "Depends lacks $lib: $field"
  done
  # A one-line summary and a long description below it.
  field=$(dpkg-deb -f "$deb" Description)
  [ "$(wc -l <<<"$field")" -ge 3 ] || fail "the description has no long part: $field"
  for field in Maintainer Section Priority; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "the $field field is empty"
  done
}

check_programs() {
  local out
  out=$("$root/usr/bin/kivra" --version) || fail "kivra --version failed"
  [ "$out" = "kivra (Kivra-PS Studio) $version" ] || fail "kivra --version printed '$out'"
  # Without any display: the version comes before the window would need one.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/kivra-ps" --version) ||
    fail "kivra-ps --version failed"
  [ "$out" = "kivra-ps (Kivra-PS Studio) $version" ] || fail "kivra-ps --version printed '$out'"
  local example
  for example in "$share"/doc/kivra-ps/examples/*.kv3; do
    out=$("$root/usr/bin/kivra" check "$example") || fail "kivra check $(basename "$example") failed: $out"
    grep -q "Total error : 0,  Total warning : 0" <<<"$out" ||
      fail "kivra check $(basename "$example"): $out"
  done
}

check_desktop() {
  local entry=$share/applications/kivra-ps.desktop
  quiet desktop-file-validate "$entry"
  # The project has no domain of its own, so its AppStream id cannot be reverse-DNS; every
  # other complaint fails.
  quiet appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    "$share/metainfo/kivra-ps.metainfo.xml"

  local key
  for key in Name Name[tr] Comment Comment[tr]; do
    awk -F= -v key="$key" '$1 == key && $2 != "" { found = 1 } END { exit !found }' "$entry" ||
      fail "the desktop entry has no $key"
  done
  grep -q '^Categories=.*Development;' "$entry" && grep -q '^Categories=.*Electronics;' "$entry" ||
    fail "the desktop entry is not in Development and Electronics"
  local icon
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon file for Icon=$icon"
  # Every option of the Exec line is one the program knows.
  local help option
  help=$(env -u DISPLAY "$root/usr/bin/kivra-ps" --help | grep -o -- '--[a-z][a-z0-9-]*')
  for option in $(sed -n 's/^Exec=//p' "$entry" | grep -o -- '--[a-z][a-z0-9-]*'); do
    grep -qx -- "$option" <<<"$help" || fail "Exec uses $option, which kivra-ps does not know"
  done

  # The file type: a .kv3 or .KV3 file is the program type, and the desktop opens that type
  # with kivra-ps.
  local data=$work/xdg
  rm -rf "$data"
  mkdir -p "$data/home"
  cp -r "$share/mime" "$share/applications" "$data/"
  update-mime-database "$data/mime" 2>/dev/null || fail "update-mime-database refused the type"
  update-desktop-database "$data/applications" || fail "update-desktop-database failed"
  local type
  type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/kivra-ps.xml")
  grep -q "^MimeType=$type;" "$entry" || fail "the desktop entry does not open $type"
  # globs2 lines are weight:type:glob[:flags]; without the cs flag the glob ignores case.
  grep -qx "[0-9]*:$type:\*\.kv3" "$data/mime/globs2" || fail "no case-blind *.kv3 glob for $type"
  local default
  default=$(env -i PATH="$PATH" HOME="$data/home" XDG_DATA_HOME="$data/home/data" \
    XDG_CONFIG_HOME="$data/home/config" XDG_CONFIG_DIRS="$data/home/none" XDG_DATA_DIRS="$data" \
    xdg-mime query default "$type")
  [ "$default" = kivra-ps.desktop ] || fail "xdg-mime names '$default' for $type"
}

check_lintian() {
  local report status=0
  report=$(lintian --fail-on error "$deb" 2>/dev/null) || status=$?
  [ -z "$report" ] || printf '%s\n' "$report"
  [ "$status" -eq 0 ] || fail "lintian found errors (status $status)"
}

# Renders a page as man does for a reader, with every groff warning on stderr.
render() {
  LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" >/dev/null
}

# Whether a rendered page has an item for WORD: a line that starts with it, alone or in a
# list such as "run, stop, move".
described() {
  grep -q -E -- "^ *([a-z0-9-]+, )*$1( |,|\$)" <<<"$2"
}

check_manpages() {
  local page text
  for page in kivra kivra-ps; do
    quiet render "$share/man/man1/$page.1.gz"
  done
  # Every command and every option the programs print in their usage is in its page.
  local kivra=$root/usr/bin/kivra word
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$share/man/man1/kivra.1.gz" 2>/dev/null)
  for word in $("$kivra" --help | sed -n 's/^  kivra \([a-z][a-z0-9-]*\).*/\1/p'); do
    grep -q -- "kivra $word" <<<"$text" || fail "kivra.1 does not describe the command $word"
    for option in $("$kivra" "$word" --help 2>&1 | sed -n '/^usage:/,$p' | grep -o -- '--[a-z][a-z0-9-]*' | sort -u); do
      grep -q -- "$option" <<<"$text" || fail "kivra.1 does not describe $word $option"
    done
  done
  for word in $("$kivra" sim --help | sed -n '/^settings/,$s/^  \([a-z][a-z0-9-]*\).*/\1/p'); do
    described "$word" "$text" || fail "kivra.1 does not describe the sim setting $word"
  done
  for word in $("$kivra" send --help 2>&1 | sed -n '/^commands:/,$p' | sed 's/^commands://' | tr ',' '\n' | awk 'NF {print $1}'); do
    described "$word" "$text" || fail "kivra.1 does not describe the send command $word"
  done
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$share/man/man1/kivra-ps.1.gz" 2>/dev/null)
  for option in $(env -u DISPLAY "$root/usr/bin/kivra-ps" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u); do
    grep -q -- "$option" <<<"$text" || fail "kivra-ps.1 does not describe $option"
  done
  for word in "EXIT STATUS" FILES; do
    grep -q "^$word" <<<"$text" || fail "kivra-ps.1 has no $word section"
    grep -q "^$word" <<<"$(LC_ALL=C.UTF-8 man -l "$share/man/man1/kivra.1.gz" 2>/dev/null)" ||
      fail "kivra.1 has no $word section"
  done
}

# Completes LINE (the words as typed, the last one being completed) with the installed
# completion and prints the candidates on one line.
complete_line() {
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_LINE=$2 COMP_POINT=${#2}
    read -ra COMP_WORDS <<<"$2"
    [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    function=$(complete -p "${COMP_WORDS[0]##*/}" | sed -n "s/.*-F \([^ ]*\).*/\1/p")
    "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    echo "${COMPREPLY[*]}"
  ' _ "$share/bash-completion/completions/$1" "$2"
}

check_completion() {
  local kivra=$root/usr/bin/kivra ps=$root/usr/bin/kivra-ps
  # file, line, words the candidates must hold, words they must not
  local cases=(
    "kivra|$kivra |check download status send sim --version|"
    "kivra|$kivra ch|check|download"
    "kivra|$kivra check --l|--lang --listing|--port"
    "kivra|$kivra status --lang |en tr|"
    "kivra|$kivra status --|--port --count --lang|--listing"
    "kivra|$kivra send --port 1 |speed microstep direction mem-read script-on|--port"
    "kivra|$kivra send --port 1 direction |L R|speed"
    "kivra|$kivra params --port 1 |read write diff|--port"
    "kivra|$kivra flash --|--port --params --report --station|--listing"
    "kivra|$kivra sim --|--link --verbose --step-ms --inputs --drop --silent|--state"
    "kivra|$kivra sim --drop |ack s A|"
    "kivra-ps|$ps --|--simulated-driver --log-to-state-folder --version|"
  )
  local entry file line want avoid got word
  for entry in "${cases[@]}"; do
    IFS='|' read -r file line want avoid <<<"$entry"
    got=" $(complete_line "$file" "$line") "
    for word in $want; do
      [[ $got == *" $word "* ]] || fail "completing '${line##*/}' offers '$got', lacking $word"
    done
    for word in $avoid; do
      [[ $got != *" $word "* ]] || fail "completing '${line##*/}' offers $word"
    done
  done
  # Program files by name, in upper or lower case.
  local dir=$work/completion
  rm -rf "$dir" && mkdir -p "$dir" && touch "$dir/a.kv3" "$dir/B.KV3" "$dir/c.txt"
  got=" $(cd "$dir" && complete_line kivra "$kivra check ") "
  [[ $got == *" a.kv3 "* && $got == *" B.KV3 "* && $got != *" c.txt "* ]] ||
    fail "completing a program file offers '$got'"
}

case $step in
  build) build_package ;;
  contents) check_contents ;;
  programs) check_programs ;;
  desktop) check_desktop ;;
  lintian) check_lintian ;;
  manpages) check_manpages ;;
  completion) check_completion ;;
  *)
    echo "unknown step $step" >&2
    exit 2
    ;;
esac
finish
