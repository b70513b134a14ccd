#!/usr/bin/env bash
# A private PostgreSQL cluster that stands in for the warehouse database, for
# the tests and the demo.
#
#   scripts/warehouse.sh init DIR     create the cluster in DIR, the loader's
#                                     role and the database r3klv with the
#                                     warehouse schema (the server is left stopped)
#   scripts/warehouse.sh start DIR    start the server (waits until it answers)
#   scripts/warehouse.sh stop DIR     stop it (nothing to do when it is not running)
#   scripts/warehouse.sh status DIR   exit 0 when it runs, 3 when not
#   scripts/warehouse.sh dsn DIR      print the data source name of r3klv
#   scripts/warehouse.sh summary DIR [DB]
#                                     rows per warehouse table, the busiest
#                                     hours and transactions
#
# The server listens on a Unix socket in DIR/run only (no TCP), on a port of
# its own (WAREHOUSE_PORT, default 54320; with the socket in its own
# directory it cannot meet another server). The loader's role is
# WAREHOUSE_USER (default zmouser) with WAREHOUSE_PASSWORD (default secret),
# checked by password; the administrator role "warehouse" is trusted on the
# socket, which only the server's user and root can reach.
#
# initdb refuses to run as root: as root the server runs as the system user
# postgres of the package, or as the system user zmowarehouse, which the
# script creates when postgres does not exist. DIR and the directories above
# it must then be reachable by that user.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
schema=$here/../warehouse/postgres/schema.sql
port=${WAREHOUSE_PORT:-54320}
user=${WAREHOUSE_USER:-zmouser}
password=${WAREHOUSE_PASSWORD:-secret}
admin=warehouse

die() { echo "warehouse: $*" >&2; exit 1; }

usage() {
  echo "usage: $0 {init|start|stop|status|dsn|summary} DIR [DB]" >&2
  exit 2
}

[ $# -ge 2 ] || usage
cmd=$1
dir=$2
db=${3:-r3klv}
case "$dir" in /*) ;; *) dir=$PWD/$dir ;; esac
data=$dir/data
run=$dir/run

# The server programs: pg_config names their directory; the Debian layout
# otherwise.
bindir() {
  local d
  if command -v pg_config >/dev/null 2>&1; then
    d=$(pg_config --bindir 2>/dev/null || true)
    if [ -x "$d/initdb" ]; then echo "$d"; return; fi
  fi
  for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    if [ -x "$d/initdb" ]; then echo "$d"; return; fi
  done
  return 1
}
# Exit code 4 tells a caller that there is no server to run at all.
if ! pgbin=$(bindir); then
  echo "warehouse: no PostgreSQL server programs (install the postgresql package: scripts/setup.sh)" >&2
  exit 4
fi

# The user the server runs as, and how to run a command as that user.
server_user() {
  if [ "$(id -u)" -ne 0 ]; then id -un; return; fi
  if id postgres >/dev/null 2>&1; then echo postgres; return; fi
  if ! id zmowarehouse >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
      zmowarehouse || die "cannot create the system user zmowarehouse"
  fi
  echo zmowarehouse
}
as_server() {
  if [ "$(id -u)" -ne 0 ]; then "$@"; return; fi
  runuser -u "$(server_user)" -- "$@"
}

# psql on the cluster's socket.
sql_admin() { "$pgbin/psql" -X -q -v ON_ERROR_STOP=1 -h "$run" -p "$(cat "$dir/port")" -U "$admin" "$@"; }
sql_user() {
  PGPASSWORD=$password "$pgbin/psql" -X -q -v ON_ERROR_STOP=1 -h "$run" -p "$(cat "$dir/port")" \
    -U "$user" "$@"
}

running() {
  [ -f "$data/PG_VERSION" ] && as_server "$pgbin/pg_ctl" -D "$data" status >/dev/null 2>&1
}

start() {
  [ -f "$data/PG_VERSION" ] || die "no cluster in $dir (run: $0 init $dir)"
  if running; then return 0; fi
  as_server "$pgbin/pg_ctl" -D "$data" -l "$dir/server.log" -w -t 60 start >/dev/null ||
    die "the server did not start; see $dir/server.log"
}

stop() {
  if running; then
    as_server "$pgbin/pg_ctl" -D "$data" -m fast -w -t 60 stop >/dev/null ||
      die "the server did not stop; see $dir/server.log"
  fi
}

init() {
  [ ! -e "$data" ] || die "$data exists already"
  [ -f "$schema" ] || die "no schema at $schema"
  case "$user" in *[!a-z0-9_]* | "") die "WAREHOUSE_USER must be lower-case letters, digits and _" ;; esac
  case "$password" in *"'"*) die "WAREHOUSE_PASSWORD must not hold a single quote" ;; esac
  # A Unix socket's path has room for 107 bytes.
  [ $((${#run} + 18)) -le 107 ] || die "the socket path $run/.s.PGSQL.$port is too long; choose a shorter DIR"
  mkdir -p "$dir"
  mkdir -p "$run"
  if [ "$(id -u)" -eq 0 ]; then
    local su
    su=$(server_user)
    chown "$su" "$dir" "$run"
    runuser -u "$su" -- test -w "$dir" -a -x "$dir" ||
      die "$dir is not reachable by the user $su (the directories above it must let $su pass)"
  fi
  chmod 0700 "$run"
  echo "$port" > "$dir/port"
  as_server "$pgbin/initdb" -D "$data" -U "$admin" -A trust -E WIN1252 --locale=C --no-sync \
    >"$dir/initdb.log" 2>&1 || die "initdb failed; see $dir/initdb.log"
  cat >> "$data/postgresql.conf" <<EOF

# The warehouse stand-in: a Unix socket of its own, no TCP.
listen_addresses = ''
port = $port
unix_socket_directories = '$run'
unix_socket_permissions = 0700
timezone = 'UTC'
log_timezone = 'UTC'
datestyle = 'iso, ymd'
lc_messages = 'C'
EOF
  cat > "$data/pg_hba.conf" <<EOF
# The administrator is trusted on the socket; every other role gives its password.
local all $admin trust
local all all scram-sha-256
EOF
  start
  sql_admin -d postgres -c "create role $user login password '$password'" \
    -c "create database $db owner $user"
  sql_user -d "$db" -f "$schema"
  stop
}

# The data source name the Oracle-kind stand-ins take for a PostgreSQL
# warehouse: pg:<socket directory>:<port>:<database>.
dsn() { echo "pg:$run:$(cat "$dir/port"):$db"; }

summary() {
  running || die "the server in $dir is not running"
  echo "Rows per warehouse table:"
  sql_admin -d "$db" -At -F ' ' -c "
    select rpad(c.relname, 20) || lpad((xpath('/row/n/text()', query_to_xml(
             format('select count(*) as n from %I', c.relname), false, true, '')))[1]::text, 10)
      from pg_class c join pg_namespace n on n.oid = c.relnamespace
     where n.nspname = 'public' and c.relkind = 'r' and c.relname like 'r3\_%'
     order by c.relname"
  echo
  echo "Busiest hours (steps, total response time in seconds):"
  sql_admin -d "$db" -At -F ' ' -c "
    select rpad(rtrim(system_label), 12) || ' ' || to_char(diag_date, 'YYYY-MM-DD') || ' ' ||
           diag_hour || ':00  ' || lpad(sum(diag_count)::text, 8) || lpad(sum(response_time)::text, 14)
      from r3_progresp group by system_label, diag_date, diag_hour
     order by sum(diag_count) desc, system_label, diag_date, diag_hour limit 5"
  echo
  echo "Busiest transactions (steps, average response time in seconds):"
  sql_admin -d "$db" -At -F ' ' -c "
    select rpad(coalesce(nullif(rtrim(t_code), ''), '(none)'), 20) || lpad(sum(diag_count)::text, 8) ||
           lpad(round(sum(response_time)::numeric / nullif(sum(diag_count), 0), 2)::text, 10)
      from r3_progresp group by rtrim(t_code)
     order by sum(diag_count) desc, rtrim(t_code) limit 5"
}

case "$cmd" in
  init) init ;;
  start) start ;;
  stop) if [ -f "$data/PG_VERSION" ]; then stop; fi ;;
  status)
    if running; then echo "warehouse: running in $dir ($(dsn))"; else echo "warehouse: not running in $dir"; exit 3; fi ;;
  dsn) [ -f "$dir/port" ] || die "no cluster in $dir"; dsn ;;
  summary) summary ;;
  *) usage ;;
esac
