#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, tries it as a user
# would (the command, then each window offscreen), and removes it again.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/build.sh"
command -v dpkg-shlibdeps >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq dpkg-dev >/dev/null; }
(cd "$here/build" && rm -f sheaf3_*.deb && cpack >/dev/null)
deb="$(ls "$here"/build/sheaf3_*_amd64.deb)"
echo "Package: $deb ($(du -h "$deb" | cut -f1))"
sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get install -y -qq "$deb" >/dev/null
trap '"${sudo[@]}" apt-get remove -y -qq sheaf3 >/dev/null' EXIT

scratch="$(mktemp -d)"
export SHEAF3_HOME="$scratch/settings" QT_QPA_PLATFORM=offscreen
/usr/bin/sheaf --version
/usr/bin/sheaf new Trial --dir "$scratch" >/dev/null
/usr/bin/sheaf html --yes "$scratch/Trial.shf3"
/usr/bin/sheaf help "$scratch/Trial.shf3"
test -f /usr/share/sheaf3/Sheaf3.chm && echo "Manual installed: /usr/share/sheaf3/Sheaf3.chm"
for program in sheaf3 sheafhelp3 sheafutil3; do
  # A window that is still running after a few seconds started well; it is then closed.
  status=0
  timeout 4 "/usr/bin/$program" >/dev/null 2>&1 || status=$?
  if [ "$status" -ne 124 ]; then
    echo "$program ended by itself with status $status" >&2
    exit 1
  fi
  echo "$program started and was closed"
done
rm -rf "$scratch"
echo "Package test passed"
