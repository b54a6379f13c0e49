# SPDX-License-Identifier: MIT
# Timing shared by the benchmark scripts (sourced, not run). Wall time, and the processor time of
# everything a contender ran (user + system, from the shell's children totals), both in ms: on a busy
# machine the second says more than the first. Needs $out, a folder for the scratch file.
declare -A times cpus
children_cpu() { # sets cpu_now; `times` must run in this shell, not in a subshell, to count its children
    times > "$out/times"
    cpu_now=$(tail -1 "$out/times" |
        awk '{ms = 0; for (i = 1; i <= 2; i++) {split($i, p, /[ms]/); ms += (p[1] * 60 + p[2]) * 1000} printf "%d", ms}')
}
timed() { # name command...
    local start end cpu_start
    children_cpu
    cpu_start=$cpu_now
    start=$(date +%s%N)
    "${@:2}"
    end=$(date +%s%N)
    children_cpu
    times[$1]+="$(((end - start) / 1000000)) "
    cpus[$1]+="$((cpu_now - cpu_start)) "
}
middle() { tr ' ' '\n' <<< "$1" | grep . | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
median() { middle "${times[$1]}"; }
median_cpu() { middle "${cpus[$1]}"; }
