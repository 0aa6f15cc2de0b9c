#!/usr/bin/env bash
# Start-up with a game file given on the command line, until the board is painted, and the
# memory then in use: marovin against XBoard in xiangqi mode, measured the same way in the
# same run, on a virtual X display of its own.
#
#   bench/startup_vs_xboard.sh [BUILD_DIR] [RUNS]      (defaults: build, 5)
#
# Both programs get the same 80-move game (marovin its game file, XBoard the same moves as
# PGN, shown at its end at once: -td 0), each start a first start. Painted: from the start of
# the process until the last change of its main window's pixels other than a blinking caret
# (the window is sampled every few tens of milliseconds).
# Memory: resident set and proportional set size of the process at that moment.
# XBoard is not a dependency of the project: without it the comparison is skipped.
set -euo pipefail

build=${1:-build}
runs=${2:-5}
program="$build/bin/marovin"

xboard=$(command -v xboard || true)
[ -z "$xboard" ] && [ -x /usr/games/xboard ] && xboard=/usr/games/xboard
if [ -z "$xboard" ]; then
    echo "xboard is not installed: the comparison is skipped (it needs the Debian package xboard)."
    exit 0
fi
for tool in Xvfb xdotool xwd xwininfo; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: the comparison is skipped (Debian: xvfb, xdotool, x11-apps, x11-utils)."
        exit 0
    fi
done
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

work=$(mktemp -d)
display=""
cleanup() {
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

# The largest visible window of a process (its main window), or nothing yet.
main_window() {
    local best="" area=0 id w h
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        read -r w h < <(xwininfo -id "$id" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w+0, h+0}')
        if [ $((w * h)) -gt "$area" ]; then area=$((w * h)); best=$id; fi
    done
    echo "$best"
}

# Runs a command line; prints "painted_ms rss_kb pss_kb". The main window is sampled for
# a few seconds; a blinking caret makes it alternate between a few pictures, so "painted"
# is the first moment after which it only ever shows the pictures of its last 1.5 seconds.
measure() {
    local start pid window hash now elapsed
    local -a times=() hashes=()
    start=$(now_ns)
    "$@" >"$work/output.log" 2>&1 &
    pid=$!
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
    local rss pss
    rss=$(awk '/^VmRSS:/{print $2}' "/proc/$pid/status")
    pss=$(awk '/^Pss:/{print $2}' "/proc/$pid/smaps_rollup")
    kill "$pid" 2>/dev/null || echo "$1 ended by itself during the measurement" >&2
    wait "$pid" 2>/dev/null || true
    echo "$painted $rss $pss"
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

declare -a mt mr mp xt xr xp
for run in $(seq "$runs"); do
    # Each start is a first start, with settings of its own.
    home="$work/home$run"; mkdir -p "$home"
    read -r t r p < <(XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" measure_again "$program" "$work/game.gam")
    mt+=("$t"); mr+=("$r"); mp+=("$p")
    read -r t r p < <(HOME="$home" measure_again "$xboard" -variant xiangqi -ncp -td 0 -lgf "$work/game.pgn")
    xt+=("$t"); xr+=("$r"); xp+=("$p")
    echo "run $run: marovin ${mt[-1]} ms, RSS ${mr[-1]} kB, PSS ${mp[-1]} kB; xboard ${xt[-1]} ms, RSS ${xr[-1]} kB, PSS ${xp[-1]} kB"
done

m_t=$(printf '%s\n' "${mt[@]}" | median); x_t=$(printf '%s\n' "${xt[@]}" | median)
m_r=$(printf '%s\n' "${mr[@]}" | median); x_r=$(printf '%s\n' "${xr[@]}" | median)
m_p=$(printf '%s\n' "${mp[@]}" | median); x_p=$(printf '%s\n' "${xp[@]}" | median)
echo
echo "median of $runs runs       painted (ms)   RSS (kB)   PSS (kB)"
printf 'marovin                 %10s %10s %10s\n' "$m_t" "$m_r" "$m_p"
printf 'xboard -variant xiangqi %10s %10s %10s\n' "$x_t" "$x_r" "$x_p"
awk -v mt="$m_t" -v xt="$x_t" -v mr="$m_r" -v xr="$x_r" -v mp="$m_p" -v xp="$x_p" 'BEGIN {
    printf "marovin / xboard: time %.2f, RSS %.2f, PSS %.2f\n", mt / xt, mr / xr, mp / xp }'
