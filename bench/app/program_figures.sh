#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole program's figures: korvo-tft itself, started as a person starts it, talking to the
# virtual screen through the preloaded hidapi stand-in (tools/fakehid) instead of a real screen.
#
#   bench/app/program_figures.sh [build folder (default build)]
#
# It prints, each with its goal and the load average at the time:
#   1. the time from exec to the first packet (the clock command sent at construction), over
#      KORVO_FIGURES_RUNS starts (default 10) on a fresh configuration (first use) and as many on a
#      configuration left by an earlier run (a later start); min / median / max. One start before
#      the series warms the page cache and is shown but not counted;
#   2. VmRSS, VmHWM and Pss of korvo-tft: after a first use once the first apply is done (the
#      whole frame went out and the refresh loop has sent area updates; the window was shown);
#      then of a later start, hidden, once it sends figures and again after the CPU figures;
#   3. the CPU that later start takes over KORVO_FIGURES_CPU_SECONDS (default 60), hidden, as
#      % of one core, from the scheduler's run time of each thread (/proc/PID/task/TID/schedstat,
#      nanoseconds), with GetCPUInfo's shown beside it but not counted, and each thread's share and
#      wake-ups. utime + stime are shown too: the kernel samples those at its tick, so a thread
#      that wakes a few times a second in step with the tick is charged whole ticks it never used.
#   4. with KORVO_FIGURES_INSTRUCTIONS=1 and valgrind installed: the instructions that later start
#      executes over KORVO_FIGURES_CPU_SECONDS under callgrind, per refresh pass and per area
#      update. Unlike the CPU share, other programs on the machine do not move this count, so two
#      builds can be compared one after the other. The stand-in's share (its hid_* calls and all
#      under them) is shown apart: a real screen costs a write to the kernel instead.
# "met" / "MISSED" compares the median start, VmRSS and the CPU share with the goal. The CPU share
# depends much on how busy the machine is: a thread that wakes on an idle core finds its caches
# cold, so the same loop costs several times more on a quiet machine than beside a build. On a
# virtual machine the host's load moves it too, by up to twice within a day; to compare two builds,
# run their figures side by side (both scripts at once, each with its own build folder).
#
# The start time is $EPOCHREALTIME read by the shell that then execs the program: one builtin
# write and the execve lie between, tens of microseconds. The first packet's time is the one the
# stand-in logs as the write happens (CLOCK_REALTIME both).
#
# The CPU figures come from the GetCPUInfo the program starts itself. With
# KORVO_FIGURES_SENSORS=changing (the default) it reads a sensor tree of this script's own in which
# temperature, load and power all change every second with the sequences of the bench Publisher
# (none repeats within a minute), so that every figure is redrawn as on a busy machine; with
# KORVO_FIGURES_SENSORS=host it reads this machine's sensors (on a machine without temperature or
# power sensors only the load then changes). The tree has an amdgpu GPU whose temperature and load
# change every second too.
#
# KORVO_FIGURES_LAYOUT=gpu starts every first use on the shipped settings with the GPU's
# temperature and load added in the two free slots of the custom layout (five figures shown);
# shipped (the default) on the shipped settings as they are.
#
# Platforms: offscreen (no notification area, so a hidden start builds its window, minimised), a
# real X server under xvfb-run when that is installed (no window manager; a notification area
# when trayer is installed, so that a later start stays hidden and builds no window), and
# headless: `korvo-tft --headless` without any display variable, whose memory goal is 25 MiB.
# KORVO_FIGURES_PLATFORMS="offscreen xcb headless" chooses. KORVO_FIGURES_ENV="NAME=value ..." is added to
# the program's environment, to try a change before making it.
#
# Every run gets private XDG folders, runtime folder, temporary folder, instance suffix and shared
# memory key, so it can run beside the user's own copy and other tests. korvo-tft has no clean way
# to be ended from outside (its exit asks for confirmation), so it gets SIGTERM; its GetCPUInfo is
# then asked to close over its socket as the program would ask it, and whatever is left (processes
# of this run, their System V objects) is removed. Only processes this script started are touched.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
self="$root/bench/app/program_figures.sh"
inner_platform=""
if [ "${1:-}" = "--inner" ]; then
    inner_platform="$2"
    shift 2
fi
build="$(cd "${1:-$root/build}" && pwd)"
runs="${KORVO_FIGURES_RUNS:-10}"
cpu_seconds="${KORVO_FIGURES_CPU_SECONDS:-60}"
sensors="${KORVO_FIGURES_SENSORS:-changing}"
layout="${KORVO_FIGURES_LAYOUT:-shipped}"
platforms="${KORVO_FIGURES_PLATFORMS:-offscreen xcb headless}"

program="$build/program/korvo-tft"
sibling="$build/program/bin/GetCPUInfo"
fakehid="$build/fakehid/libkorvo-fakehid.so" # LIBRARY_OUTPUT_DIRECTORY in tools/fakehid
for file in "$program" "$sibling" "$fakehid" "$build/program/whole.png"; do
    if [ ! -e "$file" ]; then
        echo "Missing $file: build first (./test.sh, or cmake --build $build --target korvo-tft GetCPUInfo korvo-fakehid korvo_templates)." >&2
        exit 1
    fi
done
if [ -z "${EPOCHREALTIME:-}" ]; then
    echo "bash 5 or newer is needed (EPOCHREALTIME)." >&2
    exit 1
fi
case "$sensors" in changing | host) ;; *) echo "KORVO_FIGURES_SENSORS is changing or host." >&2; exit 1 ;; esac
case "$layout" in shipped | gpu) ;; *) echo "KORVO_FIGURES_LAYOUT is shipped or gpu." >&2; exit 1 ;; esac

# ---------------------------------------------------------------------------------------------
# Housekeeping

work="$(mktemp -d "${TMPDIR:-/tmp}/korvo-figures.XXXXXX")"
chmod 700 "$work"
# The stand-in appends a line per packet; on a disk file system each append also updates the
# inode, which costs the measured process more than the write itself, so the logs go to memory
# where there is a place for it.
logs="$work"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    logs="$(mktemp -d /dev/shm/korvo-figures.XXXXXX 2>/dev/null)" || logs="$work"
fi
tag="kf$$"
current_pid=""    # the korvo-tft of the run in progress
current_suffix="" # its instance suffix
writer_pid=""     # the sensor writer
xvfb_pid=""       # the xvfb-run group of the X11 pass
tray_pid=""       # the notification area of the X11 pass
wrapper=()        # what korvo-tft is started under (valgrind, for the instruction count)

# A pause without a fork: nothing ever writes into this fifo.
mkfifo "$work/pause"
exec {pause_fd}<>"$work/pause"
nap() { read -r -t "$1" -u "$pause_fd" _ || true; }
# Seconds since the epoch; EPOCHREALTIME follows the locale's decimal point.
now_s() {
    local t="$EPOCHREALTIME"
    echo "${t/,/.}"
}

# Reaped or not, a process that is gone or a zombie counts as ended.
alive() {
    local state=""
    [ -r "/proc/$1/stat" ] || return 1
    read -r _ _ state _ <"/proc/$1/stat" 2>/dev/null || return 1
    [ "$state" != "Z" ]
}

# Waits up to $2 seconds for process $1 to end, then TERM, then KILL.
end_process() {
    local pid="$1" grace="$2" i
    for ((i = 0; i < grace * 20; i++)); do
        alive "$pid" || return 0
        nap 0.05
    done
    kill -TERM "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 40; i++)); do
        alive "$pid" || return 0
        nap 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# The GetCPUInfo copies of one run: this build's binary with that run's suffix in its environment.
siblings_of() {
    local suffix="$1" dir pid entry
    local -a environment
    for dir in /proc/[0-9]*; do
        [[ "$dir/exe" -ef "$sibling" ]] 2>/dev/null || continue
        pid="${dir#/proc/}"
        mapfile -d '' environment <"$dir/environ" 2>/dev/null || continue
        for entry in "${environment[@]}"; do
            if [ "$entry" = "KORVO_INSTANCE_SUFFIX=$suffix" ]; then
                echo "$pid"
                break
            fi
        done
    done
}

# Asks over a local socket the way the program asks GetCPUInfo to close; built once, plain C.
asker="$work/asksocket"
if command -v cc >/dev/null 2>&1; then
    cc -O1 -o "$asker" -x c - <<'EOF' 2>/dev/null || asker=""
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    struct sockaddr_un address;
    memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (strlen(argv[1]) >= sizeof address.sun_path)
        return 2;
    strcpy(address.sun_path, argv[1]);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, (struct sockaddr*)&address, sizeof address) != 0)
        return 1;
    char line[64];
    snprintf(line, sizeof line, "%s\n", argv[2]);
    if (write(fd, line, strlen(line)) != (ssize_t)strlen(line))
        return 1;
    char answer[64];
    size_t got = 0;
    struct pollfd wait = {fd, POLLIN, 0};
    while (got < sizeof answer - 1 && poll(&wait, 1, 2000) == 1) {
        ssize_t n = read(fd, answer + got, sizeof answer - 1 - got);
        if (n <= 0)
            break;
        got += (size_t)n;
        if (memchr(answer, '\n', got))
            break;
    }
    answer[got] = 0;
    fputs(answer, stdout);
    return got ? 0 : 1;
}
EOF
else
    asker=""
fi

# System V objects behind QSharedMemory / QSystemSemaphore are named by ftok(file, 'Q') on a key
# file in the temporary folder; the runs' temporary folder is private, so all of them are ours.
remove_ipc_by_files() {
    local folder="$1" file dev ino key
    for file in "$folder"/qipc_sharedmemory_* "$folder"/qipc_systemsem_*; do
        [ -e "$file" ] || continue
        read -r dev ino < <(stat -c '%d %i' "$file")
        key=$(printf '0x%08x' $(((0x51 << 24) | ((dev & 0xff) << 16) | (ino & 0xffff))))
        case "$file" in
        */qipc_sharedmemory_*) ipcrm -M "$key" 2>/dev/null || true ;;
        *) ipcrm -S "$key" 2>/dev/null || true ;;
        esac
        rm -f "$file"
    done
}

# Not every object keeps its key file: the program and GetCPUInfo each take the semaphore over
# when they create the segment, and the one that attaches afterwards removes the other's semaphore
# and makes a new one; which of them is left after a kill varies, sometimes without its file. So
# also: objects of this user made since the run started whose last user was one of the run's
# processes (System V records the process, not the thread).
remove_ipc_left_by() {
    local ids=" $1 " since="$2" me semid cuid ctime pid shmid cpid lpid nattch
    me="$(id -u)"
    while read -r _ semid _ _ _ _ cuid _ _ ctime _; do
        [[ "$semid" =~ ^[0-9]+$ ]] && [ "$cuid" = "$me" ] && [ "$ctime" -ge "$since" ] || continue
        pid="$(ipcs -s -i "$semid" 2>/dev/null | awk '$1 == "0" && NF == 5 { print $5 }')"
        if [ -n "$pid" ] && [[ "$ids" == *" $pid "* ]]; then
            ipcrm -s "$semid" 2>/dev/null || true
        fi
    done </proc/sysvipc/sem
    while read -r _ shmid _ _ cpid lpid nattch _ _ cuid _ _ _ ctime _; do
        [[ "$shmid" =~ ^[0-9]+$ ]] && [ "$cuid" = "$me" ] && [ "$nattch" = 0 ] && [ "$ctime" -ge "$since" ] || continue
        if [[ "$ids" == *" $cpid "* || "$ids" == *" $lpid "* ]]; then
            ipcrm -m "$shmid" 2>/dev/null || true
        fi
    done </proc/sysvipc/shm
}

# Ends one run: the program, then its GetCPUInfo (asked first, as the program would on exit),
# then anything of theirs that is left.
stop_run() {
    local dir="$1" pid ids="" siblings=""
    if [ -n "$current_pid" ]; then
        ids+=" $current_pid"
        kill -TERM "$current_pid" 2>/dev/null || true
        end_process "$current_pid" 3
        wait "$current_pid" 2>/dev/null || true
        current_pid=""
    fi
    if [ -n "$current_suffix" ]; then
        siblings="$(siblings_of "$current_suffix")"
        ids+=" $siblings"
        if [ -n "$asker" ] && [ -S "$dir/run/GetCPUInfo$current_suffix" ]; then
            "$asker" "$dir/run/GetCPUInfo$current_suffix" close >/dev/null 2>&1 || true
        fi
        for pid in $siblings; do
            end_process "$pid" 2
        done
        current_suffix=""
    fi
    remove_ipc_by_files "$dir/tmp"
    remove_ipc_left_by "$ids" "$run_started"
}

cleanup() {
    trap - EXIT INT TERM
    if [ -n "$xvfb_pid" ]; then
        kill -TERM -- "-$xvfb_pid" 2>/dev/null || true
        end_process "$xvfb_pid" 3
    fi
    if [ -n "$current_pid" ] || [ -n "$current_suffix" ]; then
        stop_run "${run_dir:-$work}"
    fi
    stop_sensor_writer
    if [ -n "$tray_pid" ]; then
        kill -TERM "$tray_pid" 2>/dev/null || true
        wait "$tray_pid" 2>/dev/null || true
    fi
    exec {pause_fd}>&- || true
    rm -rf "$work"
    [ "$logs" = "$work" ] || rm -rf "$logs"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ---------------------------------------------------------------------------------------------
# Figures: the sensor tree

sensor_tree="$work/sensors"
if [ "$sensors" = changing ]; then
    mkdir -p "$sensor_tree/sys/class/hwmon/hwmon0" "$sensor_tree/sys/class/hwmon/hwmon1" "$sensor_tree/proc" \
        "$sensor_tree/sys/class/hwmon/hwmon2/device"
    echo coretemp >"$sensor_tree/sys/class/hwmon/hwmon0/name"
    echo "Package id 0" >"$sensor_tree/sys/class/hwmon/hwmon0/temp1_label"
    echo zenpower >"$sensor_tree/sys/class/hwmon/hwmon1/name"
    echo amdgpu >"$sensor_tree/sys/class/hwmon/hwmon2/name"
    # Each second: 40 + s % 60 degrees, 2 + s % 97 % load, 3 + s % 89 W, the GPU at 35 + s % 53
    # degrees and 1 + s % 83 % load. Files are replaced, never rewritten in place, so a reading
    # never meets a half-written one.
    write_sensors() {
        local s="$1" busy="$2" idle="$3" t="$sensor_tree/sys/class/hwmon"
        echo $(((40 + s % 60) * 1000)) >"$t/hwmon0/temp1_input.new"
        echo $(((3 + s % 89) * 1000000)) >"$t/hwmon1/power1_input.new"
        echo $(((35 + s % 53) * 1000)) >"$t/hwmon2/temp1_input.new"
        echo $((1 + s % 83)) >"$t/hwmon2/device/gpu_busy_percent.new"
        echo "cpu  $busy 0 0 $idle 0 0 0 0 0 0" >"$sensor_tree/proc/stat.new"
        mv -f "$t/hwmon0/temp1_input.new" "$t/hwmon0/temp1_input"
        mv -f "$t/hwmon1/power1_input.new" "$t/hwmon1/power1_input"
        mv -f "$t/hwmon2/temp1_input.new" "$t/hwmon2/temp1_input"
        mv -f "$t/hwmon2/device/gpu_busy_percent.new" "$t/hwmon2/device/gpu_busy_percent"
        mv -f "$sensor_tree/proc/stat.new" "$sensor_tree/proc/stat"
    }
fi

# Runs while a platform is measured, not while the X11 pass runs in a process of its own.
start_sensor_writer() {
    [ "$sensors" = changing ] || return 0
    write_sensors 0 1000 100000
    (
        trap 'exit 0' TERM
        s=1 busy=1000 idle=100000
        while :; do
            # The counters move by the load in hundredths, so the load read is exact whenever
            # GetCPUInfo samples once between two steps.
            busy=$((busy + 2 + s % 97))
            idle=$((idle + 100 - (2 + s % 97)))
            write_sensors "$s" "$busy" "$idle"
            s=$((s + 1))
            nap 1
        done
    ) &
    writer_pid=$!
}

stop_sensor_writer() {
    [ -n "$writer_pid" ] || return 0
    kill -TERM "$writer_pid" 2>/dev/null || true
    wait "$writer_pid" 2>/dev/null || true
    writer_pid=""
}

# ---------------------------------------------------------------------------------------------
# One run

run_number=0
run_dir=""
run_log=""
run_started="$EPOCHSECONDS"

# Starts korvo-tft in a new run folder; $1 = a run folder whose configuration is reused, if any.
start_program() {
    local reuse="${1:-}" platform="$2" extra_env="${KORVO_FIGURES_ENV:-}"
    run_number=$((run_number + 1))
    run_dir="$work/run-$(printf '%03d' "$run_number")"
    mkdir -p "$run_dir/run" "$run_dir/tmp"
    chmod 700 "$run_dir/run" "$run_dir/tmp"
    if [ -n "$reuse" ]; then
        ln -s "$reuse/config" "$run_dir/config"
        ln -s "$reuse/data" "$run_dir/data"
    else
        mkdir -p "$run_dir/config" "$run_dir/data"
        if [ "$layout" = gpu ]; then
            # The shipped settings with the GPU figures in the two empty slots; whole.png is still
            # missing, so the start is a first use and applies the layout.
            mkdir -m 700 "$run_dir/config/Korvo TFT"
            sed -e 's/^0-0=-1$/0-0=9/' -e 's/^0-4=-1$/0-4=10/' "$build/program/Config.ini" \
                >"$run_dir/config/Korvo TFT/Config.ini"
            chmod 600 "$run_dir/config/Korvo TFT/Config.ini"
        fi
    fi
    run_log="$logs/hid-$run_number.log"
    current_suffix="-$tag-$run_number"
    run_started="$EPOCHSECONDS"
    (
        # Only what a desktop session would hand over, plus this run's private places.
        for name in $(compgen -e); do
            case "$name" in
            HOME | PATH | USER | LOGNAME | LANG | LANGUAGE | LC_* | TZ | DISPLAY | XAUTHORITY) ;;
            *) unset "$name" ;;
            esac
        done
        export XDG_CONFIG_HOME="$run_dir/config" XDG_DATA_HOME="$run_dir/data" XDG_RUNTIME_DIR="$run_dir/run"
        export TMPDIR="$run_dir/tmp" KORVO_INSTANCE_SUFFIX="$current_suffix"
        export KORVO_CPUINFO_KEY="KorvoFigures-$tag-$run_number"
        export KORVO_FAKEHID_LOG="$run_log" LD_PRELOAD="$fakehid"
        local arguments=()
        if [ "$platform" = headless ]; then
            unset DISPLAY XAUTHORITY
            arguments=(--headless)
        else
            export QT_QPA_PLATFORM="$platform"
        fi
        # What-if runs: e.g. KORVO_FIGURES_ENV="QT_XCB_GL_INTEGRATION=none TZ=:/etc/localtime".
        for name in $extra_env; do
            export "${name?}"
        done
        if [ "$sensors" = changing ]; then
            export KORVO_SYSFS_ROOT="$sensor_tree/sys" KORVO_PROC_ROOT="$sensor_tree/proc"
        fi
        cd "$run_dir"
        echo "$EPOCHREALTIME" >"$run_dir/start"
        exec "${wrapper[@]}" "$program" "${arguments[@]}"
    ) >"$run_dir/output" 2>&1 &
    current_pid=$!
}

# Waits until the log has a first line; prints the nanoseconds from exec to it, or fails.
first_packet_ns() {
    local i line start
    for ((i = 0; i < 1000; i++)); do
        [ -s "$run_log" ] && break
        alive "$current_pid" || return 1
        nap 0.01
    done
    read -r line _ <"$run_log" || return 1
    start="$(<"$run_dir/start")"
    start="${start/[.,]/}000"
    echo $((line - start))
}

# True once the log shows $1 area updates (a later start sends no frame, only the figures).
updating() {
    local areas
    areas="$(awk '$3 ~ /^0055a2/ { n++ } END { print n + 0 }' "$run_log" 2>/dev/null || true)"
    [ "${areas:-0}" -ge "$1" ]
}

# Waits up to $1 tenths of a second for 3 area updates; true once they came.
await_updates() {
    local i
    for ((i = 0; i < $1; i++)); do
        updating 3 && return 0
        alive "$current_pid" || break
        nap 0.1
    done
    updating 3
}

# True once the log shows the whole frame, the orientation after it and then $1 area updates.
applied() {
    awk -v want="$1" '
        $3 ~ /^0055a3/ { frame++; areas = 0; oriented = 0; next }
        frame >= 27 && $3 ~ /^0055a1f1/ { oriented = 1; next }
        oriented && $3 ~ /^0055a2/ { areas++ }
        END { exit !(oriented && areas >= want) }' "$run_log" 2>/dev/null
}

load_average() {
    local one five fifteen
    read -r one five fifteen _ </proc/loadavg
    echo "load $one $five $fifteen"
}

# One line of memory figures of process $2, labelled $1, against a goal of $3 MiB (none if empty).
report_memory() {
    local rss hwm pss threads
    rss="$(status_kib "$2" VmRSS)"
    hwm="$(status_kib "$2" VmHWM)"
    threads="$(status_kib "$2" Threads)"
    pss="$(awk '$1 == "Pss:" { print $2 }' "/proc/$2/smaps_rollup" 2>/dev/null || true)"
    printf '   %-32s VmRSS %s MiB  VmHWM %s MiB  Pss %s MiB  threads %s  [%s]  %s\n' "$1" "$(mib "$rss")" \
        "$(mib "$hwm")" "$(mib "$pss")" "$threads" "$([ -n "$3" ] && verdict "$rss" $(($3 * 1024)) || echo "no goal")" \
        "$(load_average)"
}

status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
mib() { awk -v k="$1" 'BEGIN { if (k == "") print "?"; else printf "%.1f", k / 1024 }'; }

# utime + stime of a process (all its threads, living and ended), in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# "tid name run-ns times-run" for each living thread; times-run counts the thread's turns on a CPU,
# which for a loop that sleeps between turns is its wake-ups.
thread_runtime() {
    local task name ns runs
    for task in /proc/"$1"/task/*; do
        name="$(<"$task/comm")" || continue
        read -r ns _ runs <"$task/schedstat" 2>/dev/null || continue
        printf '%s\t%s\t%s\t%s\n' "${task##*/}" "$name" "$ns" "$runs"
    done
}

summary() {
    sort -n | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "no runs"; exit }
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "min %.1f  median %.1f  max %.1f ms (%d runs)", v[1], m, v[NR], NR }'
}

verdict() { awk -v v="$1" -v goal="$2" 'BEGIN { print (v != "" && v + 0 < goal + 0) ? "met" : "MISSED" }'; }

# ---------------------------------------------------------------------------------------------
# The figures on one platform

measure_starts() {
    local platform="$1" label="$2" reuse="$3" ns values="" i
    for ((i = 0; i <= runs; i++)); do
        start_program "$reuse" "$platform"
        if ns="$(first_packet_ns)"; then
            if [ "$i" -eq 0 ]; then
                printf '   %-12s warm-up start %.1f ms (not counted)\n' "$label" \
                    "$(awk -v n="$ns" 'BEGIN { print n / 1e6 }')"
            else
                values+="$(awk -v n="$ns" 'BEGIN { printf "%.3f", n / 1e6 }')"$'\n'
            fi
        else
            echo "   $label: run $i sent nothing within 10 s; its output:" >&2
            sed 's/^/      /' "$run_dir/output" >&2
        fi
        stop_run "$run_dir"
    done
    local line median
    line="$(printf '%s' "$values" | summary)"
    median="$(printf '%s' "$values" | sort -n | awk '{ v[NR] = $1 } END { if (NR) print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')"
    printf '   %-12s %s  [%s]  %s\n' "$label" "$line" "$(verdict "$median" 100)" "$(load_average)"
}

# The later start of run folder $2 under callgrind: instructions per pass and per area update.
measure_instructions() {
    local platform="$1" reuse="$2"
    if ! command -v valgrind >/dev/null 2>&1 || ! command -v callgrind_control >/dev/null 2>&1; then
        echo "4. instructions: valgrind is not installed; skipped"
        return 0
    fi
    local out="$work/callgrind-$platform"
    # Names written out in full: the stand-in is found by its hid_* functions.
    wrapper=(valgrind --tool=callgrind --compress-strings=no --compress-pos=no --callgrind-out-file="$out")
    start_program "$reuse" "$platform"
    wrapper=()
    if ! await_updates 1200; then
        echo "4. instructions: the later start under callgrind sent no figures within 120 s; skipped"
        stop_run "$run_dir"
        return 0
    fi
    nap 10
    # Each dump starts the count afresh: the second holds the measured time alone. callgrind_control
    # finds the program through the run's temporary folder.
    TMPDIR="$run_dir/tmp" callgrind_control -d "$current_pid" >/dev/null 2>&1
    local lines_before
    lines_before="$(wc -l <"$run_log")"
    nap "$cpu_seconds"
    TMPDIR="$run_dir/tmp" callgrind_control -d "$current_pid" >/dev/null 2>&1
    local traffic
    traffic="$(tail -n +"$((lines_before + 1))" "$run_log" | awk '
        $3 ~ /^0055a1f2/ { clock++ } $3 ~ /^0055a2/ { area++ } END { print clock + 0, area + 0 }')"
    stop_run "$run_dir"
    awk -v traffic="$traffic" -v s="$cpu_seconds" '
        /^fn=/ { inside = $0 ~ /^fn=hid_/ }
        /^cfn=/ { entry = $0 ~ /^cfn=hid_/ }
        /^summary:/ { total = $2 }
        /^calls=/ { call = 1; next }
        /^[0-9]/ { if (call && entry && !inside) stand_in += $2; call = 0 }
        END {
            split(traffic, t, " ")
            if (t[1] == 0 || total == 0) { print "4. instructions: nothing measured"; exit }
            printf "4. instructions of korvo-tft under callgrind over %d s (%d passes, %d area updates)\n", s, t[1], t[2]
            printf "   %.0f per pass, %.0f per area update; the stand-in for the screen %.1f %% of them\n",
                   total / t[1], total / (t[2] ? t[2] : 1), stand_in / total * 100
        }' "$out.2"
}

measure_platform() {
    local platform="$1" i
    echo "== $platform ($(nproc) cores, build $build, figures: $sensors, layout: $layout${KORVO_FIGURES_ENV:+, with $KORVO_FIGURES_ENV})"
    start_sensor_writer

    echo "1. time from exec to the first packet (goal: under 100 ms)"
    measure_starts "$platform" "first use" ""

    # One whole first start: its memory with the window it shows, and its configuration for the
    # later starts.
    start_program "" "$platform"
    local full="$run_dir" full_log="$run_log" pid="$current_pid"
    for ((i = 0; i < 300; i++)); do
        applied 3 && break
        if ! alive "$pid"; then
            echo "korvo-tft ended before its first apply; its output:" >&2
            sed 's/^/   /' "$full/output" >&2
            return 1
        fi
        nap 0.1
    done
    if ! applied 3; then
        echo "No apply within 30 s; the log has $(wc -l <"$full_log") packets." >&2
        return 1
    fi
    nap 1
    local goal_mib=40
    [ "$platform" = headless ] && goal_mib=25
    echo "2. resident memory of korvo-tft (goal hidden: under $goal_mib MiB)"
    report_memory "first use, window shown, applied" "$pid" ""
    stop_run "$full"

    # The copy that runs all day: a later start, hidden (in the notification area where there is
    # one; minimised, so with its window built, where there is none).
    start_program "$full" "$platform"
    pid="$current_pid"
    full_log="$run_log"
    if ! await_updates 300; then
        echo "The later start sent no figures within 30 s; its output:" >&2
        sed 's/^/   /' "$run_dir/output" >&2
        return 1
    fi
    report_memory "later start, hidden, at 1 s" "$pid" "$goal_mib"
    # The first passes load glyphs and settle; the steady state is measured.
    nap 5
    local tick sib sib_before=0 before after lines_before threads_before
    tick="$(getconf CLK_TCK)"
    sib="$(siblings_of "$current_suffix" | head -n 1)"
    [ -n "$sib" ] && sib_before="$(cpu_ticks "$sib")"
    before="$(cpu_ticks "$pid")"
    threads_before="$(thread_runtime "$pid")"
    lines_before="$(wc -l <"$full_log")"
    local wall_before
    wall_before="$(now_s)"
    nap "$cpu_seconds"
    after="$(cpu_ticks "$pid")"
    local wall_after sib_after=0 threads_after
    wall_after="$(now_s)"
    [ -n "$sib" ] && sib_after="$(cpu_ticks "$sib")"
    threads_after="$(thread_runtime "$pid")"
    local load
    load="$(load_average)"
    local wall
    wall="$(awk -v a="$wall_before" -v b="$wall_after" 'BEGIN { print b - a }')"
    local per_thread percent ticks_percent
    per_thread="$(LC_ALL=C join -t $'\t' -a 2 -e 0 -o 2.2,1.3,2.3,1.4,2.4 <(LC_ALL=C sort <<<"$threads_before") \
        <(LC_ALL=C sort <<<"$threads_after"))"
    percent="$(awk -F '\t' -v w="$wall" '{ ns += $3 - $2 } END { printf "%.3f", ns / 1e9 / w * 100 }' <<<"$per_thread")"
    ticks_percent="$(awk -v t=$((after - before)) -v hz="$tick" -v w="$wall" 'BEGIN { printf "%.3f", t / hz / w * 100 }')"
    report_memory "later start, hidden, at $((cpu_seconds + 6)) s" "$pid" "$goal_mib"
    echo "3. CPU of korvo-tft over ${cpu_seconds} s, hidden (goal: under 0.10 % of one core)"
    printf '   korvo-tft %s %% of one core (scheduler run time in %.1f s)  [%s]  %s\n' "$percent" "$wall" \
        "$(verdict "$percent" 0.10)" "$load"
    printf '     (utime + stime: %s %%, %d ticks of 1/%s s)\n' "$ticks_percent" $((after - before)) "$tick"
    awk -F '\t' -v w="$wall" '{
            printf "     thread %-18s %.3f %%, %.1f wake-ups/s\n", $1, ($3 - $2) / 1e9 / w * 100, ($5 - $4) / w }' <<<"$per_thread"
    if [ -n "$sib" ]; then
        printf '   GetCPUInfo (not counted above) %s %% of one core\n' \
            "$(awk -v t=$((sib_after - sib_before)) -v hz="$tick" -v w="$wall" 'BEGIN { printf "%.3f", t / hz / w * 100 }')"
    else
        echo "   GetCPUInfo: not found running"
    fi
    tail -n +"$((lines_before + 1))" "$full_log" | awk -v w="$wall" '
        $3 ~ /^0055a1f2/ { clock++ } $3 ~ /^0055a2/ { area++; bytes += $2 }
        END { printf "   screen traffic in that time: %.2f clock commands/s, %.2f area updates/s (%.0f bytes/s)\n",
              clock / w, area / w, bytes / w }'
    stop_run "$run_dir"
    if [ "${KORVO_FIGURES_INSTRUCTIONS:-0}" = 1 ]; then
        measure_instructions "$platform" "$full"
    fi

    measure_starts "$platform" "later start" "$full"
    stop_sensor_writer
}

# ---------------------------------------------------------------------------------------------

if [ -n "$inner_platform" ]; then
    if [ "$inner_platform" = xcb ] && command -v trayer >/dev/null 2>&1; then
        # A notification area, so that a later start stays hidden as on a desktop that has one.
        trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
        tray_pid=$!
        nap 1
    fi
    measure_platform "$inner_platform"
    exit 0
fi

echo "korvo-tft program figures, $(date '+%Y-%m-%d %H:%M'), $(load_average)"
status=0
for platform in $platforms; do
    case "$platform" in
    offscreen | headless)
        measure_platform "$platform" || status=1
        ;;
    xcb)
        if ! command -v xvfb-run >/dev/null 2>&1; then
            echo "== xcb: xvfb-run is not installed; skipped"
            continue
        fi
        # A group of its own, so that an interrupted pass takes its X server along. 96 dpi, as a
        # desktop at scale 1 gives: Xvfb's own 100 dpi would make Qt scale by 1.04 and take the
        # pictures drawn at twice the size (the shown window then holds 78 MiB instead of 50).
        setsid xvfb-run -a -s "-screen 0 1920x1080x24 -dpi 96" \
            bash "$self" --inner xcb "$build" &
        xvfb_pid=$!
        wait "$xvfb_pid" || status=1
        xvfb_pid=""
        ;;
    *)
        echo "Unknown platform $platform (offscreen, xcb or headless)." >&2
        status=1
        ;;
    esac
done
exit "$status"
