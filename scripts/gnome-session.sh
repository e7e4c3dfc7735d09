# GNOME Shell 43 headless on Wayland in a folder of its own, shared by scripts/gnome-headless and
# the gnome test suite (through scripts/gnome-session). Sourced after common.sh; set first:
#   gnome_user        who runs it (the current user unless set)
#   gnome_monitors    the virtual monitors, an array of WxH
#   gnome_extension   the extension's folder, installed for the user and enabled before start
#   gnome_pipewire    1 to start a PipeWire daemon (Mutter's screen casts, which absolute pointer
#                     motion through RemoteDesktop needs)
#   gnome_dir         the folder (made in /tmp unless set)
# gnome_session_start then brings up, as that user:
#   - its own HOME, XDG folders and XDG_RUNTIME_DIR;
#   - its own session bus;
#   - a private system bus (DBUS_SYSTEM_BUS_ADDRESS), on which python3-dbusmock's logind template
#     stands in for systemd-logind with one active session (XDG_SESSION_ID). Shell asks logind
#     for its session whenever /run/systemd/seats exists, as it does on a systemd machine (it
#     starts without the stand-in too, with no session to follow). Nothing else is on that bus
#     and it activates nothing: the other system services Shell asks for (polkit, AccountsService,
#     colord, GeoClue, UPower) are absent at once, which it takes in its stride;
#   - settings in a key file of its own (GSETTINGS_BACKEND=keyfile), with the extension enabled;
#   - gnome-shell, out of the overview it starts in, once its start-up is complete and the
#     extension serves org.gridlume.Shell.
# gnome_session_stop ends every process it started, and whatever they started in turn.

gnome_uuid=gridlume@gridlume.org
gnome_user=${gnome_user:-$(id -un)}
gnome_pipewire=${gnome_pipewire:-0}
uid=$(id -u "$gnome_user")
gid=$(id -g "$gnome_user")
dir=${gnome_dir:-$(mktemp -d /tmp/gridlume-gnome.XXXXXX)}
pids=()
failed=0

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }
log() { gridlume_log "$*"; }
fail() {
    echo "${0##*/}: $*" >&2
    failed=1
    exit 1
}
wait_for_file() {
    for _ in $(seq 100); do [ -e "$1" ] && return 0; sleep 0.1; done
    fail "$2"
}

# Ends what was started here, last first, then every process whose environment still names the
# folder (the services the buses activated, Xwayland, the clients). With a status other than 0
# (or after fail), the logs' last lines go to standard error first.
gnome_session_stop() {
    local status=$1 pid i
    if [ "$failed" -ne 0 ] || [ "$status" -ne 0 ]; then
        for f in "$dir"/*.log; do
            [ -s "$f" ] || continue
            echo "---- ${f##*/} (last 40 lines)" >&2
            tail -n 40 "$f" >&2
        done
    fi
    # Last started first, so that the buses outlive Shell; each gets 3 s to end.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill -TERM "$pid" 2>/dev/null || continue
        for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
        if [ "$pid" = "${shell:-}" ]; then
            local ended=0
            wait "$pid" 2>/dev/null || ended=$?
            log "gnome-shell ended with status $ended"
        fi
    done
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "GRIDLUME_GNOME_DIR=$dir"; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    done
    wait 2>/dev/null || true
    # Shell leaves its X displays' lock files and sockets behind when it is ended.
    # shellcheck disable=SC2013 # the display numbers are words
    for display in $(sed -n 's/.*Using public X11 display :\([0-9]*\), (using :\([0-9]*\) for managed services).*/\1 \2/p' \
        "$dir/shell.log" 2>/dev/null); do
        for f in "/tmp/.X$display-lock" "/tmp/.X11-unix/X$display"; do
            [ -e "$f" ] && [ "$(stat -c %u "$f")" = "$uid" ] && rm -f "$f"
        done
    done
    rm -rf "$dir"
}

mkdir -p "$dir"/{home,config/glib-2.0/settings,data/gnome-shell/extensions,cache,runtime}
chmod 700 "$dir/runtime"
cp -r "$gnome_extension" "$dir/data/gnome-shell/extensions/$gnome_uuid"
# GVariant text in a GLib key file: the extension enabled, the welcome tour not offered.
cat >"$dir/config/glib-2.0/settings/keyfile" <<EOF
[org/gnome/shell]
enabled-extensions=['$gnome_uuid']
welcome-dialog-last-shown-version='999'
EOF
# The system bus, and a session bus that other users may join too (root's test programs in a
# session of nobody's).
for bus in system session; do
    cat >"$dir/$bus-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$bus</type>
  <listen>unix:path=$dir/$bus-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
EOF
done
chown -R "$uid:$gid" "$dir"
# Xwayland puts its socket there and does not make the folder itself.
[ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix

environment=(
    "GRIDLUME_GNOME_DIR=$dir"
    "PATH=/usr/local/bin:/usr/bin:/bin"
    "LANG=C.UTF-8"
    "USER=$gnome_user" "LOGNAME=$gnome_user"
    "HOME=$dir/home"
    "XDG_CONFIG_HOME=$dir/config" "XDG_DATA_HOME=$dir/data" "XDG_CACHE_HOME=$dir/cache"
    "XDG_RUNTIME_DIR=$dir/runtime"
    "XDG_SESSION_ID=gridlume" "XDG_SESSION_TYPE=wayland" "XDG_CURRENT_DESKTOP=GNOME"
    "DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/session-bus"
    "DBUS_SYSTEM_BUS_ADDRESS=unix:path=$dir/system-bus"
    "GSETTINGS_BACKEND=keyfile"
    "NO_AT_BRIDGE=1"
)
# Runs a command as the user, in the environment above (setpriv and env exec: the process id is
# the command's own).
user_prefix=(env -i "${environment[@]}")
[ "$uid" -eq "$(id -u)" ] || user_prefix=(setpriv --reuid="$uid" --regid="$gid" --clear-groups -- "${user_prefix[@]}")
as_user() { "${user_prefix[@]}" "$@"; }
# Starts one in the background, its output in DIR/NAME.log; its process id goes to pids.
start() {
    local name=$1
    shift
    "${user_prefix[@]}" "$@" >"$dir/$name.log" 2>&1 &
    pids+=($!)
}
gdbus_wait() { as_user gdbus wait "$@"; }

gnome_session_start() {
    ulimit -c 0
    start system-bus dbus-daemon --config-file="$dir/system-bus.conf" --nofork --nopidfile
    wait_for_file "$dir/system-bus" "the private system bus did not start"
    start session-bus dbus-daemon --config-file="$dir/session-bus.conf" --nofork --nopidfile
    wait_for_file "$dir/session-bus" "the session bus did not start"
    start logind /usr/bin/python3 -m dbusmock --system --template logind
    gdbus_wait --system --timeout 10 org.freedesktop.login1 || fail "the logind stand-in did not start"
    as_user gdbus call --system --dest org.freedesktop.login1 --object-path /org/freedesktop/login1 \
        --method org.freedesktop.DBus.Mock.AddSession gridlume seat0 "$uid" "$gnome_user" true >/dev/null

    if [ "$gnome_pipewire" -eq 1 ]; then
        # Mutter's screen casts are PipeWire streams; a bare daemon, no session manager.
        start pipewire pipewire
        wait_for_file "$dir/runtime/pipewire-0" "PipeWire did not start"
    fi

    log "Starting gnome-shell $(gnome-shell --version | awk '{print $3}') headless, monitors ${gnome_monitors[*]}"
    started=$(now)
    local shell_arguments=(--headless --wayland --wayland-display wayland-gridlume)
    for m in "${gnome_monitors[@]}"; do shell_arguments+=(--virtual-monitor "$m"); done
    # The extension tells Shell's log how long each window took to settle.
    start shell env GRIDLUME_SHELL_DEBUG=1 gnome-shell "${shell_arguments[@]}"
    shell=${pids[-1]}
    gdbus_wait --session --timeout 60 org.gnome.Shell || fail "org.gnome.Shell did not appear on the session bus"
    log "org.gnome.Shell on the bus after $(since "$started")"
    if ! gdbus_wait --session --timeout 30 org.gridlume.Shell; then
        as_user gnome-extensions info "$gnome_uuid" >&2 || true
        fail "the extension did not export org.gridlume.Shell"
    fi
    log "org.gridlume.Shell (the extension) on the bus after $(since "$started")"
    for _ in $(seq 300); do
        grep -q 'GNOME Shell started at' "$dir/shell.log" && break
        kill -0 "$shell" 2>/dev/null || fail "gnome-shell exited"
        sleep 0.1
    done
    grep -q 'GNOME Shell started at' "$dir/shell.log" || fail "Shell did not complete its start-up"
    log "Start-up complete (\"GNOME Shell started at\") after $(since "$started")"
    # Headless Shell starts in the overview, as after a log-in.
    as_user gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive '<false>' >/dev/null
    sleep 0.5
}
