#!/usr/bin/env bash
# The freedesktop validators, stricter than their exit codes: any remark they
# make fails the test, except the few listed below that are known and wanted.
#   validate.sh desktop FILE      desktop-file-validate
#   validate.sh metainfo FILE     appstreamcli validate
#   validate.sh tree DIR          appstreamcli validate-tree (metainfo, desktop
#                                 entry and icons of an installed tree together)
set -u  # no pipefail: grep -q may end a pipe early, and only its answer counts
kind=$1 target=$2

# AppStream 1.0 names the maker <developer>; Debian 12's AppStream 0.16 does
# not know that tag yet and says so as an info. Newer AppStream says instead
# that the <developer_name> kept for 0.16 is deprecated.
allowed='^ *I: io\.github\.vorarid\.Vorarid:[0-9]+: (unknown-tag developer|developer-name-tag-deprecated)$'

case $kind in
  desktop)  out=$(desktop-file-validate "$target" 2>&1); status=$? ;;
  metainfo) out=$(appstreamcli validate --no-net "$target" 2>&1); status=$? ;;
  tree)     out=$(appstreamcli validate-tree --no-net "$target" 2>&1); status=$? ;;
  *) echo "unknown kind $kind"; exit 2 ;;
esac
echo "$out"
[ "$status" = 0 ] || { echo "FAIL: the validator exited with $status"; exit 1; }

# desktop-file-validate prints nothing for a clean file; appstreamcli prints
# one line per issue as "<letter>: <id>:<line>: <tag>".
remarks=$(grep -E '^ *[EWIP]: |: (error|warning|hint): ' <<< "$out" | grep -Ev "$allowed")
# Pedantic remarks come only with --pedantic, which is not asked for.
if [ -n "$remarks" ]; then
  echo "FAIL: the validator has remarks:"
  echo "$remarks"
  exit 1
fi
echo "PASS: $kind $target"
