#!/bin/bash
# Runs coverage maps as a Slurm job array: task N runs line N of a jobs file, as
#   verdan-cli coverage --sites FILE.csv --print-jobs [coverage options] --out PREFIX
# prints them (one self-contained command line per site, paths made absolute: keep them on
# a file system every node sees).
#
#   verdan-cli coverage --sites sites.csv --print-jobs --radius 50 --resolution 3 \
#       --terrain raster --dem /shared/dem --out /shared/maps/region > jobs.txt
#   sbatch --array=1-$(wc -l < jobs.txt) scripts/coverage-slurm.sh jobs.txt
#   # when all are done:
#   verdan-cli coverage-merge --out /shared/maps/region-best.tif /shared/maps/region-*.tif
#
# Each task uses the cores Slurm gives it unless its line sets --threads: by default the
# cluster's share per task (often one core); ask for more on the command line, within what a
# node has, e.g. `sbatch --cpus-per-task=8 --array=...` (a request larger than any node keeps
# the array pending for ever).
#SBATCH --job-name=verdan-coverage
#SBATCH --output=verdan-coverage-%A_%a.log
set -euo pipefail

jobs_file=${1:?usage: sbatch --array=1-N coverage-slurm.sh JOBS_FILE}
task=${SLURM_ARRAY_TASK_ID:?run as a Slurm job array (sbatch --array=1-N)}
[[ $task =~ ^[1-9][0-9]*$ ]] || { echo "coverage-slurm: bad task number $task" >&2; exit 2; }
# A FIFO or a device would keep the task waiting for ever, or read what it should not.
[[ -f $jobs_file ]] || { echo "coverage-slurm: $jobs_file is not a regular file" >&2; exit 2; }
line=$(sed -n "${task}p" "$jobs_file")
if [[ -z $line ]]; then
    echo "coverage-slurm: $jobs_file has no line $task" >&2
    exit 2
fi
if [[ $line == *$'\r'* ]]; then
    # A jobs file saved with Windows line ends would write maps whose names end in a
    # carriage return: refuse it rather than run the line.
    echo "coverage-slurm: line $task of $jobs_file ends in a carriage return (Windows line ends); convert the file with dos2unix or print the jobs again" >&2
    exit 2
fi
if [[ $line != *" --threads "* ]]; then
    line+=" --threads ${SLURM_CPUS_PER_TASK:-${SLURM_CPUS_ON_NODE:-0}}"
fi
exec bash -c "$line"
