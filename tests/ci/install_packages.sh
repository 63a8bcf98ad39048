#!/usr/bin/env bash
# The scripts' package helper against stand-ins for dpkg-query, apt-get and id: only the
# missing packages are installed, without recommends, and the lists are read once.
#   install_packages.sh PROJECT_FOLDER
set -uo pipefail
top=${1:?usage: install_packages.sh PROJECT_FOLDER}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# Installed: everything but the packages named "missing-*".
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for a; do p=$a; done
case "$p" in missing-*) exit 1;; *) printf 'install ok installed';; esac
STUB
printf '#!/bin/sh\necho "apt-get $*" >>"%s/log"\n' "$work" >"$work/bin/apt-get"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin/"*

PATH=$work/bin:$PATH bash -c "source '$top/scripts/lib/install-packages.sh'
  install_packages cmake g++ && install_packages missing-a make missing-b &&
  install_packages missing-c" >/dev/null || { echo "FAIL: install_packages failed"; exit 1; }
expected="apt-get update -qq
apt-get install -y --no-install-recommends missing-a missing-b
apt-get install -y --no-install-recommends missing-c"
got=$(cat "$work/log" 2>/dev/null)
[ "$got" = "$expected" ] || { printf 'FAIL: apt-get was called as\n%s\nexpected\n%s\n' "$got" "$expected"; exit 1; }
echo "only the missing packages installed, the lists read once"
