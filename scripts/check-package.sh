#!/usr/bin/env bash
# Builds the Debian package, installs it as a user would, checks what it
# installed and removes it again with whatever its install brought in, so the
# machine is left as before. Runs as root, as CI does, or through sudo.
# Usage: scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)

scripts/install-deps.sh --test
deb=$(scripts/package.sh)

export DEBIAN_FRONTEND=noninteractive
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
apt_get=("${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=300 -y -q)

Fail() {
  echo "check-package: $*" >&2
  exit 1
}
InstalledPackages() {
  dpkg-query -W -f '${db:Status-Abbrev}${Package}\n' | sed -n 's/^ii *//p' | sort
}

work=$(mktemp -d)
InstalledPackages >"$work/before"
RemoveWhatWasAdded() {
  local added
  added=$(InstalledPackages | comm -13 "$work/before" -)
  if [[ -n $added ]]; then
    # shellcheck disable=SC2086  # one word a package
    "${apt_get[@]}" remove $added >/dev/null
  fi
  rm -rf "$work"
}
trap RemoveWhatWasAdded EXIT

echo "== installing $deb"
"${apt_get[@]}" install "$deb"
version=$(dpkg-query -W -f '${Version}' tambrix)
files=$(dpkg -L tambrix)
InstalledFile() {
  local file
  file=$(grep -E -m1 "$1" <<<"$files") || Fail "the package installs no file like $1"
  [[ -f $file ]] || Fail "$file is in the package but was not installed"
  echo "$file"
}

echo "== desktop entry, AppStream metainfo and icons"
desktop=$(InstalledFile '^/usr/share/applications/[^/]+\.desktop$')
report=$(desktop-file-validate "$desktop" 2>&1) || true
[[ -z $report ]] || Fail "desktop-file-validate $desktop: $report"
metainfo=$(InstalledFile '^/usr/share/metainfo/[^/]+\.metainfo\.xml$')
appstreamcli validate --no-net --strict "$metainfo" || Fail "appstreamcli validate $metainfo"
# The metainfo's launchable and icon are looked up in the package's own tree.
mkdir "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
appstreamcli validate-tree --no-net --strict "$work/tree" || Fail "appstreamcli validate-tree"
icon=$(sed -n 's/^Icon=//p' "$desktop")
InstalledFile "^/usr/share/icons/hicolor/scalable/apps/$icon\.svg$" >/dev/null
while read -r png; do
  size=$(sed -E 's|.*/hicolor/([0-9]+x[0-9]+)/apps/.*|\1|' <<<"$png")
  file "$png" | grep -q "PNG image data, ${size/x/ x }," || Fail "$png is not $size: $(file "$png")"
done < <(grep -E "^/usr/share/icons/hicolor/[0-9]+x[0-9]+/apps/$icon\.png$" <<<"$files")

echo "== --version, without a display, writing no file"
mkdir "$work/version"
cd "$work/version"
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/tambrix --version) == "tambrix $version" ]] ||
  Fail "tambrix --version does not say tambrix $version"
[[ $(/usr/bin/tambrix-analyze --version) == "tambrix-analyze $version" ]] ||
  Fail "tambrix-analyze --version does not say tambrix-analyze $version"
[[ -z $(ls -A) ]] || Fail "--version left files behind: $(ls -A)"

echo "== tambrix-analyze on the demo clip in a fresh directory"
mkdir "$work/demo"
cp "$source_dir/resources/demo/demo-clip.wav" "$work/demo/"
cd "$work/demo"
report=$(/usr/bin/tambrix-analyze demo-clip.wav) || Fail "tambrix-analyze demo-clip.wav ended with $?"
echo "$report"
for figure in 'Average ROF +[0-9]+\.[0-9]{6} bps' 'Highest ROF +[0-9]+\.[0-9]{6} bps' \
  'Lowest ROF +[0-9]+\.[0-9]{6} bps' 'Number Of Shots +[1-9][0-9]* During Clip' \
  'Clip Length +[1-9][0-9]* Seconds' 'Clip Quality +[0-9]+'; do
  grep -Eq "^  $figure$" <<<"$report" || Fail "no line like '$figure' in the report"
done

echo "== manual page"
man_page=$(InstalledFile '/man1/tambrix-analyze\.1\.gz$')
[[ $(man -w tambrix-analyze) == "$man_page" ]] || Fail "man -w tambrix-analyze does not find $man_page"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)
[[ -z $warnings ]] || Fail "man page warnings: $warnings"

echo "== the package installs, validates and runs"
