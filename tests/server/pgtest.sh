#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: "start DIR" creates a cluster in DIR that listens
# only on a Unix socket in DIR (no TCP) and trusts local users, but for the role "tvpassword",
# which signs in with the password "geheim"; "stop DIR" stops it and removes DIR. The server
# refuses to run as root, so under root it runs as the system user "postgres" (created by
# Debian's postgresql package) or as "tavelon-test", created here when neither exists.
set -euo pipefail
mode=$1
dir=$2
bin=${PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)}
[ -x "$bin/initdb" ] || { echo "PostgreSQL server programs not found (install postgresql)" >&2; exit 1; }

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  user=postgres
  if ! id -u "$user" >/dev/null 2>&1; then
    user=tavelon-test
    id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home "$user"
  fi
  as_user=(runuser -u "$user" --)
fi

case "$mode" in
  start)
    if [ -d "$dir" ]; then "$0" stop "$dir" || true; fi
    mkdir -p "$dir"
    [ ${#as_user[@]} -eq 0 ] || chown "$user" "$dir"
    chmod 700 "$dir"
    "${as_user[@]}" "$bin/initdb" -D "$dir/data" -A trust -U tavelon -E UTF8 --locale=C \
      --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # One role signs in with a password, for the tests of asking for it; everyone else is trusted.
    sed -i '1i local all tvpassword scram-sha-256' "$dir/data/pg_hba.conf"
    "${as_user[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses='' -k $dir -c fsync=off -c synchronous_commit=off -c max_connections=100" \
      start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    # The test processes (root included) reach the socket in DIR.
    chmod 711 "$dir"
    "$bin/psql" -q -h "$dir" -U tavelon -d postgres \
      -c "create role tvpassword login password 'geheim'" >/dev/null
    echo "server at $dir"
    ;;
  stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
      "${as_user[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null || true
    fi
    rm -rf "$dir"
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
