# Sourced by the packaging checks: which installed packages own a file.

# Every path that may stand for FILE in dpkg's database: each step of its
# chain of symlinks (/usr/bin/c++ is g++ through the alternatives), each
# with and without the /usr that merged-/usr systems put in front of /lib.
spellings() {
  local path=$1 hops=0
  while [ -n "$path" ] && [ "$hops" -lt 10 ]; do
    echo "$path"
    case $path in
      /usr/*) echo "${path#/usr}" ;;
      *) echo "/usr$path" ;;
    esac
    local next
    next=$(readlink "$path") || break
    case $next in /*) path=$next ;; *) path=$(dirname "$path")/$next ;; esac
    hops=$((hops + 1))
  done
  readlink -f "$1"
}

# The packages that own some spelling of FILE, one a line, without their
# architecture ("libc6", not "libc6:amd64").
packages_owning() {
  spellings "$1" | sort -u | xargs -r dpkg-query -S 2> /dev/null | grep -v '^diversion ' |
    sed 's/: .*//; s/, /\n/g' | sed 's/:.*//' | sort -u
}
