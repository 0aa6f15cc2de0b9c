#!/usr/bin/env bash
# Installs what is needed, builds Marovin, starts the local practice server (unless
# something already listens on its port) and then starts Marovin.
# Extra arguments are passed to marovin (see marovin --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- marovin marovin-server marovin-tool

port=5555
if [ -x build/bin/marovin-server ] && ! (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; then
    log=${XDG_STATE_HOME:-$HOME/.local/state}/marovin/server.log
    mkdir -p "$(dirname "$log")"
    nohup build/bin/marovin-server --port $port >"$log.out" 2>"$log" &
    for _ in $(seq 50); do
        (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && break
        sleep 0.1
    done
    echo "Practice server started on 127.0.0.1:$port (log: $log)"
fi
exec build/bin/marovin "$@"
