#!/usr/bin/env bash
# The main job on a fresh machine: installs what the build needs, builds,
# lays out a BinDir and a registry store in ./demo/, describes the example
# landscape of simulated SAP systems (tests/fixtures/sap) in an
# application-server file, and runs one real statistics collection
# (zmostati -nr). The collection hands its file to zmoloader, whose batch
# runs under the project's batch interpreter against the stand-in warehouse
# tools, which load a private PostgreSQL warehouse in ./demo/warehouse. Then
# zmosnap runs as a service until its second cycle has handed the first
# cycle's snapshot files to the loader. It ends by showing the statistic data
# file, the availability file, a snapshot file, the warehouse tool calls, the
# summary logs and what the warehouse now holds.
#
# No SAP system is reached: the RFC library of this build answers from the
# simulated systems. Run it again at any time; ./demo/ is made anew.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh

build=${ZMO_DEMO_BUILD:-build}  # another build directory may be named
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j "$(nproc)"

demo=$root/demo
bindir=$demo/bin/
if [ -d "$demo/warehouse" ]; then bash scripts/warehouse.sh stop "$demo/warehouse" >/dev/null || true; fi
rm -rf "$demo"
mkdir -p "$demo"

# The warehouse: a private PostgreSQL cluster on a Unix socket, stopped again
# when the demo ends.
warehouse=$demo/warehouse
bash scripts/warehouse.sh init "$warehouse" >/dev/null
bash scripts/warehouse.sh start "$warehouse" >/dev/null
trap 'bash scripts/warehouse.sh stop "$warehouse" >/dev/null 2>&1 || true' EXIT
cmake --install "$build" --prefix "$bindir" >/dev/null
mkdir -p "${bindir}ArchiveData"

export ZMO_REGISTRY=$demo/registry
export ZMO_SAP_SYSTEMS=$root/tests/fixtures/sap
export TEMP=$demo  # zmosetval's status file
# The warehouse tool stand-ins come first on PATH; they record each call.
export PATH=$root/$build/bin/dbtools:$PATH
export ZMO_DBTOOLS_LOG=$demo/dbtools_calls.log
mkdir -p "$ZMO_REGISTRY"

key='SOFTWARE\Velmar\Monitoring for Orvane'
setval() { "$build/bin/zmosetval" -k "$key" -n "$1" -v "$2" >/dev/null; }

# The value of key in [section] of a simulated system's file.
sys_value() {
  awk -v section="[$2]" -v key="$3" '
    /^[ \t]*\[/ { in_section = ($0 == section); next }
    in_section && index($0, "=") {
      k = substr($0, 1, index($0, "=") - 1); v = substr($0, index($0, "=") + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", k); gsub(/^[ \t]+|[ \t]+$/, "", v)
      if (tolower(k) == key) { print v; exit }
    }' "$1"
}

# The application-server file: one 183-byte record per simulated system,
# its password scrambled as the configurator stores it.
server_file=${bindir}zmoserver.dat
: > "$server_file"
for sys in "$ZMO_SAP_SYSTEMS"/*.sys; do
  scrambled=$(sys_value "$sys" logon password | "$build/bin/zmoscramble")
  printf '%-100.100s%-30.30s%-30.30s%-3.3s%-3.3s%-2.2s%s%-1.1s\r\n' \
    "$(sys_value "$sys" logon host)" "$(sys_value "$sys" logon user)" "$scrambled" \
    "$(sys_value "$sys" system_info sysid)" "$(sys_value "$sys" logon client)" \
    "$(sys_value "$sys" logon sysnr)" "000000240000" "$(sys_value "$sys" logon language)" \
    >> "$server_file"
done

# Every two hours; the run collects the last two-hour interval that ended at
# least 15 minutes ago.
setval BinDir "$bindir"
setval DB Oracle
setval StatiInput "$server_file"
setval StatiSchedule "00:00 02:00 04:00 06:00 08:00 10:00 12:00 14:00 16:00 18:00 20:00 22:00"
setval StatiDebug True

# The warehouse and the loader's settings.
setval SnapDebug True  # zmoloader writes its trace log while this exists
setval User "${WAREHOUSE_USER:-zmouser}"
setval DSN "$(bash scripts/warehouse.sh dsn "$warehouse")"
setval Access "$(printf '%s' "${WAREHOUSE_PASSWORD:-secret}" | "$build/bin/zmoscramble")"
setval Oracle 81
setval StatiOutPut "${bindir}zmostati.dat"
setval LoaderLogSize 1024
setval TrendKeepDays 30
setval DetailKeepDays -45
setval ArchiveKeepDays -7
setval System_SLA 2000
setval ProcessQRBData True

# The snapshot collector: every day, a cycle every 2 seconds.
setval SnapInput "$server_file"
setval SnapRunDays 127
setval SnapSleepTime 2

echo "demo: collecting from $(wc -l < "$server_file") simulated systems (this takes a few seconds)"
"${bindir}zmostati" -nr

# The loader, once it has loaded the file, moves it to ArchiveData.
data=${bindir}zmostati.dat
if [ ! -f "$data" ]; then
  data=$(ls -t "${bindir}"ArchiveData/stati_*.dat 2>/dev/null | head -1 || true)
fi
if [ -z "$data" ] || [ ! -f "$data" ]; then
  echo "demo: no statistic data file was written; see ${bindir}trace_zmostati.log" >&2
  exit 1
fi

# The snapshot collector as a service: its second cycle hands the first
# cycle's files to the loader; then the service is stopped and removed.
echo "demo: running zmosnap as a service until a snapshot load has run"
"${bindir}zmosnap" -sinstall >/dev/null
"${bindir}zmosnap" -sstart >/dev/null
for _ in $(seq 1 60); do
  grep -q 'zmosnap.sql' "$ZMO_DBTOOLS_LOG" 2>/dev/null && break
  sleep 1
done
"${bindir}zmosnap" -sstop >/dev/null
"${bindir}zmosnap" -sremove >/dev/null
snap_cpu=$(ls -t "${bindir}"ArchiveData/cpu_*.dat 2>/dev/null | head -1 || true)
if [ -z "$snap_cpu" ]; then
  echo "demo: no snapshot file reached the loader; see ${bindir}trace_zmosnap.log" >&2
  exit 1
fi

show() {
  echo
  echo "== $1 ($(wc -l < "$2") lines): $2"
  head -n "$3" "$2" | tr -d '\r'
}
show "statistic data file" "$data" 5
show "availability file" "${bindir}zmostatiava.dat" 20
show "snapshot CPU file, loaded and archived" "$snap_cpu" 3
if [ -f "$ZMO_DBTOOLS_LOG" ]; then
  show "warehouse tool calls" "$ZMO_DBTOOLS_LOG" 12
else
  echo "demo: the load batch called no warehouse tool; see ${bindir}trace_zmoldr.log" >&2
  exit 1
fi
show "statistics summary log" "${bindir}trace_zmostatisum.log" 20
show "snapshot summary log" "${bindir}trace_zmosnapsum.log" 12
echo
echo "== the warehouse"
bash scripts/warehouse.sh summary "$warehouse"
echo
echo "demo: trace logs in ${bindir}trace_zmostati.log, ${bindir}trace_zmosnap.log and ${bindir}trace_zmoldr.log"
