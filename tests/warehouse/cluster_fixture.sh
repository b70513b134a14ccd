#!/usr/bin/env bash
# The warehouse tests' cluster: "start" makes it anew (a cluster left by a
# run that was cut short is stopped and removed first) and starts it;
# "stop" stops and removes it. Without the PostgreSQL server programs it
# makes nothing and says so: the tests that need a cluster then skip.
#   cluster_fixture.sh start|stop <warehouse.sh> <dir>
#
# The cluster itself lives in a directory of its own under /tmp, and <dir>
# (in the build tree) is a link to it: a Unix socket's path must stay short,
# and the server's user (postgres, when the tests run as root) must be able
# to reach it, which a build tree under a private home may not allow.
set -euo pipefail
action=$1
script=$2
dir=$3

if [ -L "$dir" ] || [ -d "$dir" ]; then
  old=$(readlink -f "$dir" || true)
  if [ -n "$old" ] && [ -d "$old/data" ]; then bash "$script" stop "$old" || true; fi
  rm -rf "$dir"
  case "$old" in /tmp/zmo-warehouse-*/cluster) rm -rf "$(dirname "$old")" ;; esac
fi
[ "$action" = start ] || exit 0

base=$(mktemp -d /tmp/zmo-warehouse-XXXXXX)
chmod 0755 "$base"
rc=0
bash "$script" init "$base/cluster" || rc=$?
if [ "$rc" -eq 4 ]; then
  rm -rf "$base"
  echo "no PostgreSQL server programs: the warehouse tests skip"
  exit 0
fi
[ "$rc" -eq 0 ] || exit "$rc"
ln -s "$base/cluster" "$dir"
bash "$script" start "$base/cluster"
bash "$script" status "$base/cluster"
