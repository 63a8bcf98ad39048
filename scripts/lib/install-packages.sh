# shellcheck shell=bash
# Sourced by the scripts in scripts/ (bash): install_packages PACKAGE... installs those of
# the named Debian packages that are not installed yet, without the recommended extras,
# as root or through sudo. The package lists are read (apt-get update) once per script,
# and only when something is missing, so that a machine with everything in place is
# never touched and needs neither the network nor root.
kartovel_package_lists_read=0

install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
      echo "missing Debian packages: ${missing[*]}; run this as root or install sudo" >&2
      echo "缺少 Debian 套件：${missing[*]}；請以 root 執行或先安裝 sudo" >&2
      return 1
    }
    sudo=sudo
  fi
  echo "installing the missing Debian packages (安裝缺少的 Debian 套件): ${missing[*]}"
  if [ "$kartovel_package_lists_read" = 0 ]; then
    $sudo apt-get update -qq
    kartovel_package_lists_read=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
