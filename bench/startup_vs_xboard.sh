#!/usr/bin/env bash
# Start-up with a game file given on the command line: the time to the first visible window
# and until the board is painted, and the memory in use at each of those moments; marovin
# against XBoard in xiangqi mode, measured the same way in the same run (the two alternate),
# on a virtual X display of its own.
#
#   bench/startup_vs_xboard.sh [BUILD_DIR] [RUNS]      (defaults: build, 7)
#
# Both programs get the same 80-move game (marovin its game file, XBoard the same moves as
# PGN, shown at its end at once: -td 0), each start a first start.
# Mapped: from the start of the process until the X server reports the first top-level window
# mapped (a MapNotify on the root window, which on this display without a window manager is
# the moment the window becomes visible).
# Painted: from the start of the process until the last change of its main window's pixels
# other than a blinking caret (the window is sampled every few tens of milliseconds).
# Memory: resident set (RSS) and proportional set size (PSS, from smaps_rollup) of the process
# read right after each of those moments.
# XBoard is not a dependency of the project: without it marovin is measured alone.
set -euo pipefail

build=${1:-build}
runs=${2:-7}
program="$build/bin/marovin"

xboard=$(command -v xboard || true)
[ -z "$xboard" ] && [ -x /usr/games/xboard ] && xboard=/usr/games/xboard
if [ -z "$xboard" ]; then
    echo "xboard is not installed: marovin is measured alone, without the comparison (it needs the Debian package xboard)."
fi
for tool in Xvfb xdotool xwd xwininfo xev; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: nothing is measured (Debian: xvfb, xdotool, x11-apps, x11-utils)."
        exit 0
    fi
done
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

work=$(mktemp -d)
display=""
cleanup() {
    [ -n "${xev_pid:-}" ] && kill "$xev_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A free display number.
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.05; done

# The map watcher: xev on the root window reports every top-level window mapped; each line is
# stamped with the moment it arrives, and at the first map of the process under measurement
# (its pid is in $work/pid) its memory is read at once, before anything else runs.
memory_of() {
    local rss pss
    rss=$(awk '/^VmRSS:/{print $2}' "/proc/$1/status" 2>/dev/null)
    pss=$(awk '/^Pss:/{print $2}' "/proc/$1/smaps_rollup" 2>/dev/null)
    echo "${rss:-0} ${pss:-0}"
}
: >"$work/pid"
watch_maps() {
    local line pid
    while IFS= read -r line; do
        case $line in
            MapNotify*) ;;
            *) continue ;;
        esac
        IFS= read -r line || break
        case $line in *"override YES"*) continue ;; esac
        read -r pid <"$work/pid" || continue
        [ -n "$pid" ] || continue
        [ -e "$work/mapped.$pid" ] && continue
        echo "$EPOCHREALTIME $(memory_of "$pid")" >"$work/mapped.$pid"
    done
}
xev -root -event substructure 2>/dev/null | watch_maps &
xev_pid=$!
sleep 0.3

# The game: the horses go out and back, 80 moves.
cycle=(H0-G2 H9-G7 G2-H0 G7-H9)
{
    printf 'GAME\r\nTIME    0\t0\t600\t600\r\nSUBJECT bench\r\nRESULT  Unknown\r\n'
    printf 'RED     alice; 0\r\nBLACK   bob; 0\r\nDATE    2024-03-05\r\nPLACE   \r\nSTART\r\n'
    for i in $(seq 0 79); do printf '%s\r\n' "${cycle[$((i % 4))]}"; done
} >"$work/game.gam"
{
    printf '[Event "bench"]\n[Site "?"]\n[Date "2024.03.05"]\n[Round "1"]\n'
    printf '[White "alice"]\n[Black "bob"]\n[Result "*"]\n[Variant "xiangqi"]\n\n'
    for i in $(seq 0 79); do
        move=${cycle[$((i % 4))]}
        move=${move,,}
        [ $((i % 2)) -eq 0 ] && printf '%d. ' $((i / 2 + 1))
        printf '%s ' "${move/-/}"
    done
    printf '*\n'
} >"$work/game.pgn"

now_ns() { date +%s%N; }
# Milliseconds between two $EPOCHREALTIME readings.
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d", (b - a) * 1000 + 0.5 }'; }

# The largest visible window of a process (its main window), or nothing yet.
main_window() {
    local best="" area=0 id w h
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        read -r w h < <(xwininfo -id "$id" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w+0, h+0}')
        if [ $((w * h)) -gt "$area" ]; then area=$((w * h)); best=$id; fi
    done
    echo "$best"
}

# Runs a command line; prints "mapped_ms rss_kb pss_kb painted_ms rss_kb pss_kb". The main window is sampled for
# a few seconds; a blinking caret makes it alternate between a few pictures, so "painted"
# is the first moment after which it only ever shows the pictures of its last 1.5 seconds.
measure() {
    local start start_real pid window hash now elapsed
    local -a times=() hashes=()
    start_real=$EPOCHREALTIME
    start=$(now_ns)
    "$@" >"$work/output.log" 2>&1 &
    pid=$!
    echo "$pid" >"$work/pid"
    window=""
    while [ -z "$window" ]; do
        window=$(main_window "$pid")
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "$1 ended before showing a window:" >&2; tail -5 "$work/output.log" >&2
            wait "$pid" 2>/dev/null || true
            return 1
        fi
        [ $(( ($(now_ns) - start) / 1000000 )) -gt 30000 ] && { kill "$pid"; echo "no window" >&2; return 1; }
    done
    while true; do
        # A window that went away (a program may replace its first one) is looked for again.
        hash=$(xwd -silent -id "$window" 2>/dev/null | md5sum) || { window=$(main_window "$pid"); continue; }
        now=$(now_ns)
        elapsed=$(( (now - start) / 1000000 ))
        times+=("$elapsed"); hashes+=("$hash")
        [ "$elapsed" -ge 4000 ] && break
    done
    local -A steady=()
    local i painted=0
    for i in "${!times[@]}"; do
        [ "${times[$i]}" -ge $(( elapsed - 1500 )) ] && steady["${hashes[$i]}"]=1
    done
    for i in "${!times[@]}"; do
        [ -z "${steady["${hashes[$i]}"]:-}" ] && painted=${times[$((i + 1))]:-$elapsed}
    done
    [ "$painted" -eq 0 ] && painted=${times[0]}
    local painted_memory mapped_at mapped_rss mapped_pss
    painted_memory=$(memory_of "$pid")
    kill "$pid" 2>/dev/null || echo "$1 ended by itself during the measurement" >&2
    wait "$pid" 2>/dev/null || true
    if ! read -r mapped_at mapped_rss mapped_pss <"$work/mapped.$pid" 2>/dev/null; then
        echo "$1: no map of its window was seen" >&2
        return 1
    fi
    echo "$(ms_between "$start_real" "$mapped_at") $mapped_rss $mapped_pss $painted $painted_memory"
}

# measure, tried again (up to three times) when the program ended before showing a window.
measure_again() {
    local out
    for _ in 1 2 3; do
        if out=$(measure "$@"); then echo "$out"; return 0; fi
    done
    return 1
}

median() { sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}'; }

# Figures per program: mapped ms, RSS, PSS, painted ms, RSS, PSS, one array per column.
declare -a m0 m1 m2 m3 m4 m5 x0 x1 x2 x3 x4 x5
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq "$runs"); do
    # Each start is a first start, with settings of its own.
    home="$work/home$run"; mkdir -p "$home"
    read -r a b c d e f < <(XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" measure_again "$program" "$work/game.gam")
    m0+=("$a"); m1+=("$b"); m2+=("$c"); m3+=("$d"); m4+=("$e"); m5+=("$f")
    line="run $run: marovin mapped ${a} ms (RSS $b kB, PSS $c kB), painted $d ms (RSS $e kB, PSS $f kB)"
    if [ -n "$xboard" ]; then
        read -r a b c d e f < <(HOME="$home" measure_again "$xboard" -variant xiangqi -ncp -td 0 -lgf "$work/game.pgn")
        x0+=("$a"); x1+=("$b"); x2+=("$c"); x3+=("$d"); x4+=("$e"); x5+=("$f")
        line+="; xboard mapped ${a} ms (RSS $b kB, PSS $c kB), painted $d ms (RSS $e kB, PSS $f kB)"
    fi
    echo "$line"
done

medians() {
    local -n c0=$1 c1=$2 c2=$3 c3=$4 c4=$5 c5=$6
    local column
    for column in c0 c1 c2 c3 c4 c5; do
        local -n values=$column
        printf ' %10s' "$(printf '%s\n' "${values[@]}" | median)"
    done
}
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "median of $runs runs          mapped (ms)   RSS (kB)   PSS (kB) painted (ms)  RSS (kB)   PSS (kB)"
mine=$(medians m0 m1 m2 m3 m4 m5)
printf 'marovin                %s\n' "$mine"
if [ -n "$xboard" ]; then
    theirs=$(medians x0 x1 x2 x3 x4 x5)
    printf 'xboard -variant xiangqi%s\n' "$theirs"
    awk -v m="$mine" -v x="$theirs" 'BEGIN {
        split(m, a); split(x, b)
        printf "marovin / xboard: mapped %.2f (RSS %.2f, PSS %.2f), painted %.2f (RSS %.2f, PSS %.2f)\n",
            a[1] / b[1], a[2] / b[2], a[3] / b[3], a[4] / b[4], a[5] / b[5], a[6] / b[6] }'
fi
