#!/usr/bin/env bash
# Benchmarks cellsvc and prints its figures:
#   - import rate and peak memory on a generated export of ROWS rows (default 5,000,000), into a
#     new database, again into the full database (every row an update), and into a new database
#     with a small page cache (memory is bounded by the cache, not by the file);
#   - lookups against the imported database with wrk on 127.0.0.1 for DURATION seconds:
#     requests per second, p50 and p99 latency, the server's peak memory;
#   - the same wrk run against nginx answering a fixed reply of the same size, when nginx is
#     installed, and cellsvc's rate as a share of nginx's: what this machine allows an HTTP
#     server with keep-alive connections at that moment, so figures of a busy machine compare.
#
#   bench/cellsvc/run.sh [path/to/cellsvc]      (or: cmake --build build --target bench_cellsvc)
#
# Environment: ROWS, DURATION (default 10), CONNECTIONS (default 16), SERVER_THREADS (default 2;
# nginx gets as many workers), CELLSVC_BENCH_DIR (default /tmp/cellsvc-bench: the export and
# database, kept out of git), LOOKUPS_ONLY=1 (skip the imports when the database is there).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=${1:-$root/build/tools/cellsvc/cellsvc}
rows=${ROWS:-5000000}
duration=${DURATION:-10}
connections=${CONNECTIONS:-16}
server_threads=${SERVER_THREADS:-2}
work=${CELLSVC_BENCH_DIR:-/tmp/cellsvc-bench}

for tool in "$bin" python3 wrk; do
  command -v "$tool" > /dev/null || { echo "missing: $tool" >&2; exit 1; }
done
mkdir -p "$work"
export_file=$work/export-$rows.csv.gz
db=$work/cells.db
server_pid=
nginx_pid=

cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2> /dev/null || true; fi
  if [ -n "$nginx_pid" ]; then kill "$nginx_pid" 2> /dev/null || true; fi
}
trap cleanup EXIT

if [ ! -f "$export_file" ]; then
  echo "generating $export_file ..."
  python3 "$root/tools/cellsvc/sample/make_sample.py" --rows "$rows" "$export_file.part"
  mv "$export_file.part" "$export_file"
fi

# 1234567 -> 1,234,567
group() { sed -e ':a' -e 's/\([0-9]\)\([0-9]\{3\}\)\($\|,\)/\1,\2\3/' -e 'ta' <<< "$1"; }

# import LABEL [options...]: runs one import and prints wall time, rate, CPU time and peak memory.
import() {
  local label=$1
  shift
  local TIMEFORMAT='%R %U %S'
  { time "$bin" import "$export_file" "$db" "$@" > "$work/import.out"; } 2> "$work/time.out"
  read -r wall user sys < "$work/time.out"
  local peak storing reading
  peak=$(sed -n 's/^peak memory \(.*\) MiB$/\1/p' "$work/import.out")
  read -r storing reading < <(sed -n 's/^processor time \(.*\) s storing, \(.*\) s reading.*/\1 \2/p' \
    "$work/import.out")
  # The busier of the two threads bounds the rate when the process has both cores to itself.
  printf "%-40s %6.1f s %11s rows/s   cpu %5.1f s (storing %4.1f, reading %4.1f) %11s rows/s   peak %6.1f MiB\n" \
    "$label" "$wall" "$(group "$(awk -v r="$rows" -v w="$wall" 'BEGIN { printf "%d", r / w }')")" \
    "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "$storing" "$reading" \
    "$(group "$(awk -v r="$rows" -v a="$storing" -v b="$reading" \
      'BEGIN { m = (a > b) ? a : b; printf "%d", (m > 0) ? r / m : 0 }')")" "$peak"
}

echo "cellsvc benchmark, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "machine: $(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs))," \
  "$(free -g | awk '/^Mem:/ { print $2 }') GiB, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "export: $(group "$rows") rows, $(du -m "$export_file" | cut -f1) MB gzip'd"
echo

if [ "${LOOKUPS_ONLY:-0}" = 1 ] && [ -f "$db" ]; then
  echo "imports skipped (LOOKUPS_ONLY=1); database: $(du -m "$db" | cut -f1) MB"
else
rm -f "$db" "$db-wal" "$db-shm"
import "import, new database"
import "import again, every row an update"
cp "$work/import.out" "$work/import-update.out"
rm -f "$db" "$db-wal" "$db-shm"
import "import, new database, --cache-mb 32" --cache-mb 32
rm -f "$db" "$db-wal" "$db-shm"
import "import, new database (for the lookups)" > /dev/null
echo "database: $(du -m "$db" | cut -f1) MB"
echo "columns: wall time, rate by wall time, processor time (of the storing and the reading"
echo "thread), rate by the busier thread's processor time, peak resident memory"
echo "goal: >= 500,000 rows/s, memory bounded whatever the export's size"
fi
echo

# Lookups: the server on an ephemeral port of 127.0.0.1, wrk asking for random cells.
"$bin" serve "$db" --listen 127.0.0.1:0 --threads "$server_threads" > "$work/serve.out" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
  grep -q "serving" "$work/serve.out" && break
  sleep 0.1
done
port=$(sed -n 's|.*http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/serve.out")
[ -n "$port" ] || { cat "$work/serve.out" >&2; exit 1; }
url=http://127.0.0.1:$port
areas=$((rows / 50))

# lookups URL OUT: a warm-up, then the measured wrk run with its report in OUT.
lookups() {
  timeout 60 wrk -t1 -c"$connections" -d2s -s "$here/lookups.lua" "$1" -- "$areas" > /dev/null
  timeout $((duration + 60)) wrk -t1 -c"$connections" -d"${duration}s" --latency \
    -s "$here/lookups.lua" "$1" -- "$areas" > "$2"
}
# figures OUT: requests per second, p50, p99 and non-200 replies of a wrk report.
figures() {
  awk '/^Requests\/sec:/ { r = $2 } $1 == "50%" { p50 = $2 } $1 == "99%" { p99 = $2 }
       /^non-200 replies:/ { bad = $3 } END { printf "%d %s %s %s\n", r, p50, p99, bad }' "$1"
}

lookups "$url" "$work/wrk.out"
peak_kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$server_pid/status")
kill -TERM "$server_pid"
wait "$server_pid" || true
server_pid=

read -r requests p50 p99 failed < <(figures "$work/wrk.out")
echo "lookups: wrk 1 thread, $connections keep-alive connections, ${duration} s;" \
  "server $server_threads threads"
printf "%-40s %11s req/s   p50 %s   p99 %s   non-200 %s   server peak %.1f MiB\n" \
  "lookups of random cells" "$(group "$requests")" "$p50" "$p99" "$failed" \
  "$(awk -v k="$peak_kib" 'BEGIN { print k / 1024 }')"

# The same against nginx with as many workers, answering every path with a location reply of
# the same size: the rate this machine allows a lean HTTP server right now.
nginx_bin=$(PATH=$PATH:/usr/sbin command -v nginx || true)
if [ -z "$nginx_bin" ]; then
  echo "nginx is not installed: no comparison with its static reply (apt-get install nginx-light)"
else
  nginx_dir=$work/nginx
  rm -rf "$nginx_dir"
  mkdir -p "$nginx_dir"
  nginx_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  reply='<?xml version="1.0" encoding="UTF-8"?><location source="cell"><coordinates latitude="55.75580" longitude="37.61730" range="1200" samples="14"/></location>'
  {
    echo "daemon off; worker_processes $server_threads; pid $nginx_dir/nginx.pid;"
    echo "error_log $nginx_dir/error.log; events { worker_connections 1024; }"
    echo "http { access_log off; client_body_temp_path $nginx_dir/body;"
    echo "  proxy_temp_path $nginx_dir/proxy; fastcgi_temp_path $nginx_dir/fastcgi;"
    echo "  uwsgi_temp_path $nginx_dir/uwsgi; scgi_temp_path $nginx_dir/scgi;"
    echo "  server { listen 127.0.0.1:$nginx_port; location / {"
    echo "    default_type \"application/xml; charset=UTF-8\"; add_header Cache-Control no-cache;"
    echo "    return 200 '$reply'; } } }"
  } > "$nginx_dir/nginx.conf"
  "$nginx_bin" -p "$nginx_dir" -e "$nginx_dir/error.log" -c "$nginx_dir/nginx.conf" &
  nginx_pid=$!
  for _ in $(seq 100); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $nginx_port))" \
      2> /dev/null && break
    sleep 0.1
  done
  lookups "http://127.0.0.1:$nginx_port" "$work/wrk-nginx.out"
  kill -TERM "$nginx_pid"
  wait "$nginx_pid" || true
  nginx_pid=
  read -r nginx_requests nginx_p50 nginx_p99 nginx_failed < <(figures "$work/wrk-nginx.out")
  printf "%-40s %11s req/s   p50 %s   p99 %s   non-200 %s\n" \
    "nginx $("$nginx_bin" -v 2>&1 | sed 's|.*/||'), a fixed reply" "$(group "$nginx_requests")" \
    "$nginx_p50" "$nginx_p99" "$nginx_failed"
  echo "cellsvc against nginx: $(awk -v a="$requests" -v b="$nginx_requests" \
    'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')x its requests per second"
fi
echo "goal: >= 20,000 req/s, p99 < 5 ms"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
