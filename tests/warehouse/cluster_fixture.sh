#!/usr/bin/env bash
# The warehouse tests' cluster: "start" makes it anew (a cluster left by a
# run that was cut short is stopped and removed first) and starts it;
# "stop" stops and removes it. Without the PostgreSQL server programs it
# makes nothing and says so: the tests that need a cluster then skip.
#   cluster_fixture.sh start|stop <warehouse.sh> <dir>
set -euo pipefail
action=$1
script=$2
dir=$3

if [ -d "$dir/data" ]; then bash "$script" stop "$dir" || true; fi
rm -rf "$dir"
[ "$action" = start ] || exit 0
rc=0
bash "$script" init "$dir" || rc=$?
if [ "$rc" -eq 4 ]; then
  rm -rf "$dir"
  echo "no PostgreSQL server programs: the warehouse tests skip"
  exit 0
fi
[ "$rc" -eq 0 ] || exit "$rc"
bash "$script" start "$dir"
bash "$script" status "$dir"
