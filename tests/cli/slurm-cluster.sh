#!/bin/bash
# A private single-node Slurm cluster for the tests, in a folder of its own:
#   slurm-cluster.sh start DIR   writes DIR/slurm.conf, starts munged, slurmctld and slurmd,
#                                and waits until the node takes jobs
#   slurm-cluster.sh stop DIR    stops all three
# `start` exits with 77 where the node daemon cannot run at all: it needs a cgroup file system,
# which a bare chroot lacks.
# Clients reach it with SLURM_CONF=DIR/slurm.conf. Nothing outside DIR is written or read
# besides the Slurm and MUNGE programs themselves; the daemons listen on loopback only.
set -euo pipefail

action=${1:?usage: slurm-cluster.sh start|stop DIR}
dir=$(cd "${2:?usage: slurm-cluster.sh start|stop DIR}" && pwd)
export SLURM_CONF=$dir/slurm.conf

# A loopback port that nothing answers on, from 20000 up past `after`.
free_port() {
    local port=$(( 20000 + (RANDOM % 20000) ))
    while (: < "/dev/tcp/127.0.0.1/$port") 2>/dev/null || ((port == ${1:-0})); do
        port=$((port + 1))
    done
    echo "$port"
}

# MUNGE's socket in a short folder of its own: a socket's path holds at most 107 bytes, and the
# cluster's folder may lie deep in a build tree.
socket_dir() {
    if [[ ! -s $dir/socket-dir ]]; then
        mktemp -d "${TMPDIR:-/tmp}/vm.XXXXXX" > "$dir/socket-dir"
        if (($(wc -c < "$dir/socket-dir") > 90)); then
            rmdir "$(cat "$dir/socket-dir")"
            mktemp -d /tmp/vm.XXXXXX > "$dir/socket-dir"
        fi
    fi
    chmod 755 "$(cat "$dir/socket-dir")"
    cat "$dir/socket-dir"
}

write_config() {
    local user ctld_port slurmd_port
    user=$(id -un)
    socket=$(socket_dir)/munge.sock
    ctld_port=$(free_port)
    slurmd_port=$(free_port "$ctld_port")
    mkdir -p "$dir/state" "$dir/spool" "$dir/log"
    cat > "$SLURM_CONF" <<EOF
ClusterName=verdantest
SlurmctldHost=localhost(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=$user
SlurmdUser=$user
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
MailProg=/bin/true
MpiDefault=none
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/log/slurmctld.log
SlurmdLogFile=$dir/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
ReturnToService=2
NodeName=verdannode NodeHostname=$(hostname) NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=verdan Nodes=verdannode Default=YES MaxTime=INFINITE State=UP
EOF
}

start() {
    if ! grep -q -E '^[^ ]+ /sys/fs/cgroup[^ ]* cgroup2? ' /proc/self/mounts; then
        echo "slurm-cluster: no cgroup file system is mounted, so slurmd cannot start here" >&2
        exit 77
    fi
    write_config
    mungekey --create --keyfile="$dir/munge.key"
    chmod 600 "$dir/munge.key"
    munged --force --socket="$socket" --key-file="$dir/munge.key" \
        --log-file="$dir/log/munged.log" --pid-file="$dir/munged.pid" --seed-file="$dir/munged.seed"
    slurmctld -i
    slurmd -N verdannode
    local i
    for ((i = 0; i < 60; i++)); do
        if sinfo --noheader --nodes=verdannode --format=%t 2>/dev/null | grep -q -E '^(idle|mix|alloc)'; then
            return 0
        fi
        sleep 0.5
    done
    echo "slurm-cluster: the node did not come up; see $dir/log" >&2
    return 1
}

# Ends the daemon whose pid file is given, waiting for it to go.
end_daemon() {
    local pid
    pid=$(cat "$1" 2>/dev/null) || return 0
    kill "$pid" 2>/dev/null || return 0
    local i
    for ((i = 0; i < 40; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.25
    done
    kill -9 "$pid" 2>/dev/null || true
}

stop() {
    end_daemon "$dir/slurmd.pid"
    end_daemon "$dir/slurmctld.pid"
    end_daemon "$dir/munged.pid"
    if [[ -s $dir/socket-dir ]]; then
        rm -rf -- "$(cat "$dir/socket-dir")"
        rm -f -- "$dir/socket-dir"
    fi
}

case $action in
start) start ;;
stop) stop ;;
*) echo "usage: slurm-cluster.sh start|stop DIR" >&2; exit 2 ;;
esac
