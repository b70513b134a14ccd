#!/usr/bin/env bash
# The statistics road at volume (a benchmark, not a test; CI never runs it):
# builds the programs optimised in build-bench/, makes a private PostgreSQL
# warehouse and one simulated 4.6C system whose seeded generator gives about
# N records in a two-hour interval, runs one real collection (zmostati -nr)
# that hands its file to zmoloader and the loader's batch, and prints the
# stage times, zmostati's peak memory and the load against a plain COPY of
# the same rows into the same staging table:
#
#   bash scripts/bench-road.sh [N]      N records, 100000 unless given
#
# Stages are timed from outside by small wrappers put in front of the
# programs (zmoloader in the BinDir, sqlldr and sqlplus on PATH): zmostati
# up to the start of the loader, the load by sqlldr, the aggregation by
# sqlplus of zmostati.sql. zmostati's peak memory is its high-water mark
# when it starts the loader. Everything lives in a temporary directory that
# is removed at the end (ZMO_ROAD_KEEP=1 keeps it).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
records=${1:-100000}
case "$records" in '' | *[!0-9]*) echo "usage: $0 [N]" >&2; exit 2 ;; esac
[ "$records" -ge 40 ] || { echo "bench-road: N is at least 40" >&2; exit 2; }

bash scripts/setup.sh

build=$root/build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
if ! cmake --build "$build" -j "${ZMO_BENCH_JOBS:-4}" --target zmostati zmoloader zmosetval \
  zmoscramble zmomsg zmogdlib zmobatch dbtools >"$build/bench-road-build.log" 2>&1; then
  tail -n 40 "$build/bench-road-build.log" >&2
  exit 1
fi
bin=$build/bin

# A short path: the warehouse's socket lives below it.
work=$(mktemp -d /tmp/zmoroad.XXXXXX)
warehouse=$work/wh
cleanup() {
  bash scripts/warehouse.sh stop "$warehouse" >/dev/null 2>&1 || true
  if [ "${ZMO_ROAD_KEEP:-}" = 1 ]; then echo "bench-road: kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
if [ "$(id -u)" -eq 0 ]; then chmod 755 "$work"; fi  # the server's user reaches its directory
bash scripts/warehouse.sh init "$warehouse" >/dev/null
bash scripts/warehouse.sh start "$warehouse" >/dev/null
dsn=$(bash scripts/warehouse.sh dsn "$warehouse")

psql_bin=$(command -v psql || ls -d /usr/lib/postgresql/*/bin/psql 2>/dev/null | sort -V | tail -1)
IFS=: read -r _ socket port database <<<"$dsn"
sql() {
  PGPASSWORD=${WAREHOUSE_PASSWORD:-secret} "$psql_bin" -X -q -v ON_ERROR_STOP=1 -h "$socket" \
    -p "$port" -U "${WAREHOUSE_USER:-zmouser}" "$database" "$@"
}

# The BinDir: the programs of the build, and a zmoloader in front of the
# real one that notes when zmostati starts it and zmostati's peak memory.
bindir=$work/bin/
mkdir -p "${bindir}ArchiveData"
for f in zmostati zmomsg zmogdlib.so zmocatENU.cat zmobatch; do ln -s "$bin/$f" "$bindir$f"; done
times=$work/times
cat > "${bindir}zmoloader" <<WRAP
#!/usr/bin/env bash
echo "loader \$(date +%s.%N) \$(awk '/^VmHWM/ {print \$2}' /proc/\$PPID/status)" >> "$times"
exec "$bin/zmoloader" "\$@"
WRAP
# sqlldr and sqlplus timed; before the aggregation the staging table's rows
# are kept in COPY's form, for the COPY that the load is measured against.
mkdir -p "$work/timers"
cat > "$work/keep-rows" <<WRAP
#!/usr/bin/env bash
PGPASSWORD=${WAREHOUSE_PASSWORD:-secret} "$psql_bin" -X -q -v ON_ERROR_STOP=1 -h "$socket" \\
  -p "$port" -U "${WAREHOUSE_USER:-zmouser}" "$database" \\
  -c "\\\\copy \$(cat "$work/table") to '$work/rows.copy'"
WRAP
for tool in sqlldr sqlplus; do
  cat > "$work/timers/$tool" <<WRAP
#!/usr/bin/env bash
script=
for a in "\$@"; do
  case "\$a" in
    @*) script=\${a#@} ;;
    control=*) tr -d '\\r' < "\${a#control=}" | awk 'tolower(\$1) == "into" {print \$3}' > "$work/table" ;;
  esac
done
if [ "\${script##*/}" = zmostati.sql ]; then "$work/keep-rows"; fi
start=\$(date +%s.%N)
rc=0
"$bin/dbtools/$tool" "\$@" || rc=\$?
name=\${script##*/}
echo "$tool \${name:--} \$start \$(date +%s.%N)" >> "$times"
exit \$rc
WRAP
done
chmod +x "${bindir}zmoloader" "$work/keep-rows" "$work"/timers/*

export TZ=UTC
export ZMO_REGISTRY=$work/registry
export ZMO_SAP_SYSTEMS=$work/sap
export TEMP=$work
export PATH=$work/timers:$bin/dbtools:$PATH
mkdir -p "$ZMO_REGISTRY" "$ZMO_SAP_SYSTEMS"

# One system: N records in two hours, one in twenty a batch step.
batch_per_hour=$((records / 40))
normal_per_hour=$((records / 2 - batch_per_hour))
cat > "$ZMO_SAP_SYSTEMS/R46.sys" <<SYS
[logon]
host = sapr46.example.net
sysnr = 00
client = 100
user = ZMOMON
password = Road46
language = E

[system_info]
sysid = R46
dbhost = dbr46
release = 46C
tzone = 0

[xmi]
users = 150
sessions = 310

[generator]
seed = 4711
normal_per_hour = $normal_per_hour
batch_per_hour = $batch_per_hour
SYS

key='SOFTWARE\Velmar\Monitoring for Orvane'
setval() { "$bin/zmosetval" -k "$key" -n "$1" -v "$2" >/dev/null; }
server_file=${bindir}zmoserver.dat
printf '%-100.100s%-30.30s%-30.30s%-3.3s%-3.3s%-2.2s%s%-1.1s\r\n' sapr46.example.net ZMOMON \
  "$(printf Road46 | "$bin/zmoscramble")" R46 100 00 000000240000 E > "$server_file"
setval BinDir "$bindir"
setval DB Oracle
setval StatiInput "$server_file"
setval StatiSchedule "00:00 02:00 04:00 06:00 08:00 10:00 12:00 14:00 16:00 18:00 20:00 22:00"
setval User "${WAREHOUSE_USER:-zmouser}"
setval DSN "$dsn"
setval Access "$(printf '%s' "${WAREHOUSE_PASSWORD:-secret}" | "$bin/zmoscramble")"
setval Oracle 81
setval StatiOutPut "${bindir}zmostati.dat"
setval LoaderLogSize 1024
setval ProcessQRBData True
setval TrendKeepDays 30
setval DetailKeepDays -45
setval ArchiveKeepDays -7
setval System_SLA 2000

echo "bench-road: $records records wanted ($normal_per_hour normal and $batch_per_hour batch-step an hour)" >&2
start=$(date +%s.%N)
"${bindir}zmostati" -nr >"$work/road.log" 2>&1
end=$(date +%s.%N)

data=$(ls -t "${bindir}"ArchiveData/stati_*.dat 2>/dev/null | head -1 || true)
if [ -z "$data" ] || ! grep -q '^sqlplus zmostati.sql' "$times" 2>/dev/null; then
  echo "bench-road: the road did not reach the aggregation; see $work (kept)" >&2
  ZMO_ROAD_KEEP=1
  exit 1
fi
lines=$(wc -l < "$data")
# The lines zmostati received: the 4.6C layouts' 576 bytes of a batch step
# (record type B) and 672 of a normal record.
batch_lines=$(grep -c '^B' "$data" || true)
table_bytes=$(((lines - batch_lines) * 672 + batch_lines * 576))
table=$(cat "$work/table")
loaded=$(wc -l < "$work/rows.copy")

# COPY of the same rows into the same staging table, made anew by the
# loader's own staging script (the aggregation drops it), in one transaction.
# (Its drop of the table fails, as the table is not there: exit code 2.)
rc=0
"$bin/dbtools/sqlplus" "${WAREHOUSE_USER:-zmouser}/${WAREHOUSE_PASSWORD:-secret}@$dsn" \
  "@${bindir}zmostage_stati.sql" >/dev/null || rc=$?
[ "$rc" -le 2 ] || { echo "bench-road: the staging script failed ($rc)" >&2; exit 1; }
copy_start=$(date +%s.%N)
sql -c "begin" -c "truncate $table" -c "\\copy $table from '$work/rows.copy'" -c "commit"
copy_end=$(date +%s.%N)
[ "$(sql -At -c "select count(*) from $table")" = "$loaded" ] || {
  echo "bench-road: the COPY did not load the rows" >&2
  exit 1
}

awk -v records="$lines" -v loaded="$loaded" -v start="$start" -v end="$end" \
  -v copy_start="$copy_start" -v copy_end="$copy_end" -v file_bytes="$(stat -c %s "$data")" \
  -v table_bytes="$table_bytes" '
  $1 == "loader" { loader = $2; hwm_kib = $3 }
  $1 == "sqlldr" { load = $4 - $3 }
  $1 == "sqlplus" && $2 == "zmostati.sql" { aggregate = $4 - $3 }
  END {
    copy = copy_end - copy_start
    printf "records collected %d (%.1f MiB of lines in the data file), rows loaded %d\n",
           records, file_bytes / 1048576, loaded
    printf "%-46s %10s\n", "stage", "value"
    printf "%-46s %9.2f s\n", "zmostati up to the loader start", loader - start
    printf "%-46s %7.0f MiB\n", "zmostati peak memory (high-water mark)", hwm_kib / 1024
    printf "%-46s %7.0f MiB\n", "  the table lines it received", table_bytes / 1048576
    printf "%-46s %9.2f s\n", "load by the sqlldr stand-in", load
    printf "%-46s %9.2f s\n", "COPY of the same rows into the staging table", copy
    printf "%-46s %9.2f s\n", "aggregation by sqlplus zmostati.sql", aggregate
    printf "%-46s %9.2f s\n", "load plus aggregation", load + aggregate
    printf "%-46s %9.2f s\n", "whole road (zmostati -nr to its end)", end - start
    printf "%-46s %9.2f\n", "load / COPY", (copy > 0 ? load / copy : 0)
  }' "$times"
