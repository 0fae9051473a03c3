#!/usr/bin/env bash
# Serves the same folder with `quelvox-contact-desk serve` and with nginx (one worker, keep-alive
# off) on loopback and loads both with wrk, a new connection per request, for a 5 KB, a 150 KB and
# a 2 MB phonebook at 16 and 100 concurrent connections. Rounds of ours and nginx alternate, so
# that a busy machine slows both alike; each figure is the median of the rounds, each ratio the
# median of the per-round ratios.
#
# Prints name=value lines: requests per second, p50 and p99 latency (ms), failed requests and
# server CPU time per request (us) of each, the client's (wrk's) CPU time per request (us), which
# shows where the work of a transfer is done on loopback, and the ratios ours/nginx of requests per second,
# ours/nginx of p99 latency (lower is better for us) and nginx/ours of CPU time per request.
#
# Usage: bench/http/http_bench.sh [path/to/program] [seconds per round, 1-30, default 3] [rounds,
# 1-9, default 3]. Installs nginx and wrk from Debian when missing (as root).
# BENCH_MODE=serve (default): the program is quelvox-contact-desk, run as `serve`.
# BENCH_MODE=editor-block or editor-watch: the program is http_editor_host (bench/http), the
# server as the editor runs it, with its GUI thread blocked 100 ms every 500 ms, or with a 10 ms
# GUI timer whose lateness is printed at the end (gui_timer_late_max_ms, gui_timer_late_p99_ms).
# editor-watch also sets each round under load against a window of the same length without load
# just before it: gui_timer_{idle,loaded}_{max,p99}_ms are medians over the rounds, and
# gui_timer_server_share_{max,p99}_ms the median per-round difference (loaded - idle), the part
# of the lateness that the server's work adds to the machine's own noise.
# BENCH_SIZES (default "5k 150k 2m") and BENCH_CONNECTIONS (default "16 100") narrow the run.
# BENCH_ALT_ENV="NAME=value ...": also runs a second copy of the program with that environment in
# the same alternation and prints its figures as alt_* and ratio_alt_* (alt/ours) lines.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mode=${BENCH_MODE:-serve}
sizes=${BENCH_SIZES:-5k 150k 2m}
connection_counts=${BENCH_CONNECTIONS:-16 100}
case "$mode" in
  serve) program=quelvox-contact-desk ;;
  editor-block | editor-watch) program=bench/http/http_editor_host ;;
  *) echo "http_bench: BENCH_MODE is serve, editor-block or editor-watch" >&2; exit 2 ;;
esac
editor=${1:-}
if [ -z "$editor" ]; then
  for candidate in "$repo"/build*/"$program" /work/build*/"$program"; do
    if [ -x "$candidate" ]; then editor=$candidate; break; fi
  done
fi
if [ -z "$editor" ] || [ ! -x "$editor" ]; then
  echo "http_bench: build quelvox-contact-desk first or pass its path" >&2
  exit 1
fi
editor=$(cd "$(dirname "$editor")" && pwd)/$(basename "$editor")
duration=${2:-3}
rounds=${3:-3}
for value in "$duration" "$rounds"; do
  case "$value" in '' | *[!0-9]*) echo "http_bench: seconds and rounds are numbers" >&2; exit 2 ;; esac
done
if [ "$duration" -lt 1 ] || [ "$duration" -gt 30 ] || [ "$rounds" -lt 1 ] || [ "$rounds" -gt 9 ]; then
  echo "http_bench: seconds 1-30, rounds 1-9" >&2
  exit 2
fi

missing=()
command -v wrk >/dev/null || missing+=(wrk)
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || missing+=(nginx)
command -v curl >/dev/null || missing+=(curl)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "http_bench: needs ${missing[*]}: sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # Keeps the package from starting a system-wide nginx on port 80.
  printf '#!/bin/sh\nexit 101\n' >/usr/sbin/policy-rc.d
  chmod +x /usr/sbin/policy-rc.d
  status=0
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || status=$?
  rm -f /usr/sbin/policy-rc.d
  [ "$status" -eq 0 ] || exit 1
fi
nginx_bin=$(command -v nginx || echo /usr/sbin/nginx)

work=$(mktemp -d /tmp/http_bench.XXXXXX)
chmod 755 "$work" # nginx workers run as an unprivileged user
ours_pid=
alt_pid=
nginx_pid=
cleanup() {
  if [ -n "$ours_pid" ]; then kill "$ours_pid" 2>/dev/null || true; wait "$ours_pid" 2>/dev/null || true; fi
  if [ -n "$alt_pid" ]; then kill "$alt_pid" 2>/dev/null || true; wait "$alt_pid" 2>/dev/null || true; fi
  if [ -n "$nginx_pid" ]; then kill "$nginx_pid" 2>/dev/null || true; wait "$nginx_pid" 2>/dev/null || true; fi
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# Phonebooks with LF line ends in UTF-8, so both servers send the same bytes. Old enough to be
# kept in our server's cache, as a phonebook that phones fetch all day is.
mkdir -p "$work/target"
make_book() { # file, contact count
  {
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<QuelvoxIPPhoneDirectory>\n'
    for ((i = 1; i <= $2; i++)); do
      printf '<DirectoryEntry>\n<Name>Contact %05d</Name>\n<Telephone label="Office">+49 30 %07d</Telephone>\n</DirectoryEntry>\n' "$i" "$i"
    done
    printf '</QuelvoxIPPhoneDirectory>\n'
  } >"$1"
  touch -d '1 hour ago' "$1"
}
make_book "$work/target/book5k.xml" 44
make_book "$work/target/book150k.xml" 1340
make_book "$work/target/book2m.xml" 18300

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

nginx_port=$(free_port)
mkdir -p "$work/nginx/logs"
cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log warn;
events { worker_connections 1024; }
http {
  access_log off;
  keepalive_timeout 0;
  sendfile on;
  tcp_nopush on;
  default_type application/octet-stream;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  server {
    listen 127.0.0.1:$nginx_port backlog=1024;
    root $work/target;
  }
}
CONF
"$nginx_bin" -p "$work/nginx" -c "$work/nginx/nginx.conf" 2>"$work/nginx/stderr" &
nginx_pid=$!

# The log lines go to stderr; they are part of the cost and are thrown away here. The editor's
# host also writes them to app/log, as the editor does.
if [ "$mode" = serve ]; then
  (cd "$work" && exec "$editor" serve --address 127.0.0.1 --port 0 >"$work/ours.url" 2>/dev/null) &
else
  mkdir -p "$work/app"
  (cd "$work" && exec "$editor" "$(free_port)" "${mode#editor-}" >"$work/ours.url" 2>/dev/null) &
fi
ours_pid=$!
alt_url=
if [ -n "${BENCH_ALT_ENV:-}" ]; then
  mkdir -p "$work/alt" && ln -s "$work/target" "$work/alt/target"
  # shellcheck disable=SC2086
  if [ "$mode" = serve ]; then
    (cd "$work/alt" && exec env $BENCH_ALT_ENV "$editor" serve --address 127.0.0.1 --port 0 >"$work/alt.url" 2>/dev/null) &
  else
    mkdir -p "$work/alt/app"
    (cd "$work/alt" && exec env $BENCH_ALT_ENV "$editor" "$(free_port)" "${mode#editor-}" >"$work/alt.url" 2>/dev/null) &
  fi
  alt_pid=$!
  for _ in $(seq 1 100); do [ -s "$work/alt.url" ] && break; sleep 0.1; done
  alt_url=$(head -n1 "$work/alt.url")
fi

for _ in $(seq 1 100); do
  [ -s "$work/ours.url" ] && curl -sf -o /dev/null "http://127.0.0.1:$nginx_port/book5k.xml" && break
  sleep 0.1
done
ours_url=$(head -n1 "$work/ours.url")
nginx_url="http://127.0.0.1:$nginx_port/"
nginx_worker=$(pgrep -P "$nginx_pid" | head -n1 || true)
if [ -z "$ours_url" ] || [ -z "$nginx_worker" ]; then
  echo "http_bench: a server did not start" >&2
  exit 1
fi

for size in $sizes; do
  book=book$size.xml
  if ! cmp -s <(curl -s "${ours_url}$book") <(curl -s "${nginx_url}$book"); then
    echo "http_bench: the two servers send different bytes for $book" >&2
    exit 1
  fi
done

to_ms() { # wrk latency text such as 812.00us, 1.52ms, 1.01s
  awk -v v="$1" 'BEGIN {
    n = v + 0
    if (v ~ /us$/) n = n / 1000; else if (v ~ /ms$/) n = n; else if (v ~ /s$/) n = n * 1000
    printf "%.3f", n }'
}

cpu_ticks() { # pid: user + system clock ticks so far
  awk '{print $14 + $15}' "/proc/$1/stat"
}

# Microseconds of user + system time of the shell's finished children in a file written by
# `times` (run in the shell itself: in a command substitution it would time its own children).
children_cpu_us() { # file
  awk 'NR == 2 {
    t = 0
    for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] }
    printf "%.0f", t * 1000000 }' "$1"
}

median() { # numbers as arguments
  printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# editor-watch: ends the host's current lateness window (it prints a gui_timer_window line).
end_window() {
  kill -USR1 "$ours_pid"
  sleep 0.2 # the host looks for the signal every 50 ms
}

# One round against one server; appends rps, p50, p99, errors, cpu to the arrays named prefix_*.
run_round() { # prefix, url, connections, server pid
  local out before after client_before client_after rps p50 p99 errors requests cpu client
  if [ "$mode" = editor-watch ] && [ "$1" = ours ]; then
    end_window # what went before: not counted
    sleep "$duration"
    end_window # idle
  fi
  before=$(cpu_ticks "$4")
  times >"$work/times.before"
  out=$(wrk -t1 -c"$3" -d"${duration}s" --timeout 2s --latency -H 'Connection: close' "$2" 2>&1)
  times >"$work/times.after"
  client_before=$(children_cpu_us "$work/times.before")
  client_after=$(children_cpu_us "$work/times.after")
  after=$(cpu_ticks "$4")
  rps=$(awk '/^Requests\/sec:/ {print $2}' <<<"$out")
  requests=$(awk '/requests in/ {print $1}' <<<"$out")
  p50=$(to_ms "$(awk '$1 == "50%" {print $2}' <<<"$out")")
  p99=$(to_ms "$(awk '$1 == "99%" {print $2}' <<<"$out")")
  errors=$(awk '/Socket errors:/ {gsub(",", ""); print $4 + $6 + $8 + $10} /Non-2xx/ {print $4}' <<<"$out" |
    awk '{s += $1} END {print s + 0}')
  cpu=$(awk -v t="$((after - before))" -v n="${requests:-0}" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { if (n > 0) printf "%.1f", t * 1000000 / hz / n; else print 0 }')
  client=$(awk -v t="$((client_after - client_before))" -v n="${requests:-0}" \
    'BEGIN { if (n > 0) printf "%.1f", t / n; else print 0 }')
  if [ "$mode" = editor-watch ] && [ "$1" = ours ]; then end_window; fi # loaded
  eval "${1}_rps+=(${rps:-0}) ${1}_p50+=($p50) ${1}_p99+=($p99) ${1}_errors+=($errors)" \
    "${1}_cpu+=($cpu) ${1}_client+=($client)"
}

ratio() { # a, b: a/b, 0 when b is 0
  awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print 0 }'
}

report() { # prefix, name
  local field values
  for field in rps p50 p99 errors cpu client; do
    eval "values=(\"\${${1}_${field}[@]}\")"
    case $field in
      p50 | p99) echo "${2}_${field}_ms=$(median "${values[@]}")" ;;
      cpu) echo "${2}_cpu_us_per_req=$(median "${values[@]}")" ;;
      client) echo "${2}_client_cpu_us_per_req=$(median "${values[@]}")" ;;
      errors) echo "${2}_errors=$(printf '%s\n' "${values[@]}" | awk '{s += $1} END {print s + 0}')" ;;
      *) echo "${2}_${field}=$(median "${values[@]}")" ;;
    esac
  done
}

echo "mode=$mode"
echo "rounds=$rounds"
echo "seconds_per_round=$duration"
for size in $sizes; do
  book=book$size
  for connections in $connection_counts; do
    wrk -t1 -c"$connections" -d1s -H 'Connection: close' "${ours_url}$book.xml" >/dev/null 2>&1 || true
    wrk -t1 -c"$connections" -d1s -H 'Connection: close' "${nginx_url}$book.xml" >/dev/null 2>&1 || true
    ours_rps=() ours_p50=() ours_p99=() ours_errors=() ours_cpu=() ours_client=()
    nginx_rps=() nginx_p50=() nginx_p99=() nginx_errors=() nginx_cpu=() nginx_client=()
    rps_ratios=() p99_ratios=() cpu_ratios=()
    alt_rps=() alt_p50=() alt_p99=() alt_errors=() alt_cpu=() alt_client=()
    alt_rps_ratios=() alt_p99_ratios=()
    for ((round = 1; round <= rounds; round++)); do
      # Who goes first alternates too, so neither always meets the other's after-effects.
      if ((round % 2)); then
        run_round ours "${ours_url}$book.xml" "$connections" "$ours_pid"
        run_round nginx "${nginx_url}$book.xml" "$connections" "$nginx_worker"
      else
        run_round nginx "${nginx_url}$book.xml" "$connections" "$nginx_worker"
        run_round ours "${ours_url}$book.xml" "$connections" "$ours_pid"
      fi
      if [ -n "$alt_url" ]; then
        run_round alt "${alt_url}$book.xml" "$connections" "$alt_pid"
      fi
      last=$((${#ours_rps[@]} - 1))
      if [ -n "$alt_url" ]; then
        alt_rps_ratios+=("$(ratio "${alt_rps[$last]}" "${ours_rps[$last]}")")
        alt_p99_ratios+=("$(ratio "${alt_p99[$last]}" "${ours_p99[$last]}")")
      fi
      rps_ratios+=("$(ratio "${ours_rps[$last]}" "${nginx_rps[$last]}")")
      p99_ratios+=("$(ratio "${ours_p99[$last]}" "${nginx_p99[$last]}")")
      cpu_ratios+=("$(ratio "${nginx_cpu[$last]}" "${ours_cpu[$last]}")")
    done
    report ours "ours_${size}_c$connections"
    report nginx "nginx_${size}_c$connections"
    echo "ratio_${size}_c${connections}_rps=$(median "${rps_ratios[@]}")"
    echo "ratio_${size}_c${connections}_p99=$(median "${p99_ratios[@]}")"
    echo "ratio_${size}_c${connections}_cpu=$(median "${cpu_ratios[@]}")"
    if [ -n "$alt_url" ]; then
      report alt "alt_${size}_c$connections"
      echo "ratio_alt_${size}_c${connections}_rps=$(median "${alt_rps_ratios[@]}")"
      echo "ratio_alt_${size}_c${connections}_p99=$(median "${alt_p99_ratios[@]}")"
    fi
  done
done

if [ "$mode" = editor-watch ]; then
  kill -TERM "$ours_pid"
  wait "$ours_pid" 2>/dev/null || true
  ours_pid=
  grep '^gui_timer_late' "$work/ours.url" || true
  # Windows come in threes per round of ours: skipped, idle, loaded.
  mapfile -t windows < <(awk -F'[= ]' '/^gui_timer_window=/ {print $2, $3}' "$work/ours.url")
  idle_max=() idle_p99=() loaded_max=() loaded_p99=() share_max=() share_p99=()
  for ((w = 0; w + 2 < ${#windows[@]}; w += 3)); do
    read -r i_max i_p99 <<<"${windows[w + 1]}"
    read -r l_max l_p99 <<<"${windows[w + 2]}"
    idle_max+=("$i_max") idle_p99+=("$i_p99") loaded_max+=("$l_max") loaded_p99+=("$l_p99")
    share_max+=("$(awk -v a="$l_max" -v b="$i_max" 'BEGIN { printf "%.2f", a - b }')")
    share_p99+=("$(awk -v a="$l_p99" -v b="$i_p99" 'BEGIN { printf "%.2f", a - b }')")
  done
  if [ ${#idle_max[@]} -gt 0 ]; then
    echo "gui_timer_idle_max_ms=$(median "${idle_max[@]}")"
    echo "gui_timer_idle_p99_ms=$(median "${idle_p99[@]}")"
    echo "gui_timer_loaded_max_ms=$(median "${loaded_max[@]}")"
    echo "gui_timer_loaded_p99_ms=$(median "${loaded_p99[@]}")"
    echo "gui_timer_server_share_max_ms=$(median "${share_max[@]}")"
    echo "gui_timer_server_share_p99_ms=$(median "${share_p99[@]}")"
  fi
fi
