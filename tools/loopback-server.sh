# Sourced by the scripts that serve a folder on 127.0.0.1 with the build's
# quillreel-hls-server. Needs $build (a build folder) and $work (a scratch
# folder). serve <root> [server options...] (re)starts it and sets $port and
# $server_pid; stop_server ends it.
server_pid=""

stop_server() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  server_pid=""
}

serve() {
  stop_server
  rm -f "$work/port"
  "$build/bin/quillreel-hls-server" --root "$1" --port-file "$work/port" "${@:2}" >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
  port=$(cat "$work/port")
}
