#!/bin/bash
# compare.sh -- runs each workload as a whole process under the pxs tool
# and, for reference, under two other Scheme interpreters when they are
# installed (Debian packages tinyscheme and guile-3.0; guile runs its
# interpreter, without compiling). The runs of one workload alternate
# between the interpreters, ROUNDS times; the best user+system CPU time of
# each is reported, with the ratios of pxs to the others.
#
#   bench/compare/compare.sh [path/to/pxs] [rounds]

set -u
here=$(cd "$(dirname "$0")" && pwd)
pxs=${1:-$here/../../build/tools/pxs}
rounds=${2:-5}
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT

# Prints the CPU seconds (user and system) of one run, or "fail" when the
# program failed (an interpreter that runs out of memory, say). perf's task
# clock is finer than the 10 ms of time(1), which is the fallback.
cpu() {
    if command -v perf >/dev/null; then
        perf stat -x, -e task-clock -o "$cache/time" "$@" >"$cache/out" 2>&1 || { echo fail; return; }
    else
        /usr/bin/time -o "$cache/time" -f "%U %S" "$@" >"$cache/out" 2>&1 || { echo fail; return; }
    fi
    if grep -qi "error\|no memory" "$cache/out"; then echo fail; return; fi
    if command -v perf >/dev/null; then
        local ms
        ms=$(grep task-clock "$cache/time" | cut -d, -f1)
        echo "scale=3; $ms / 1000" | bc
    else
        read -r user sys <"$cache/time"
        echo "$user + $sys" | bc
    fi
}

best() { sort -g | head -1; }

run_tool() {
    case $1 in
        pxs) cpu "$pxs" "$2" ;;
        tinyscheme) cpu timeout 60 tinyscheme "$2" ;;
        guile) XDG_CACHE_HOME=$cache cpu guile --no-auto-compile "$2" ;;
    esac
}

tools=(pxs)
command -v tinyscheme >/dev/null && tools+=(tinyscheme)
command -v guile >/dev/null && tools+=(guile)

printf "%-16s" workload; printf "%12s" "${tools[@]}"; printf "%14s%14s\n" "pxs/tiny" "pxs/guile"
for workload in countdown fib25 reverse100k reverse10x10k; do
    declare -A times=()
    for tool in "${tools[@]}"; do times[$tool]=""; done
    for ((r = 0; r < rounds; r++)); do
        for tool in "${tools[@]}"; do
            times[$tool]+="$(run_tool "$tool" "$here/$workload.scm")"$'\n'
        done
    done
    printf "%-16s" "$workload"
    declare -A bestOf=()
    for tool in "${tools[@]}"; do
        if grep -q fail <<<"${times[$tool]}"; then bestOf[$tool]=fail; else
            bestOf[$tool]=$(grep -v '^$' <<<"${times[$tool]}" | best); fi
        printf "%12s" "${bestOf[$tool]}"
    done
    for ref in tinyscheme guile; do
        p=${bestOf[pxs]:-fail}; o=${bestOf[$ref]:-fail}
        if [[ $p == fail || $o == fail || $o == 0 || $o == .00 ]]; then printf "%14s" "-"; else
            printf "%14s" "$(echo "scale=2; $p / $o" | bc)"; fi
    done
    echo
    unset times bestOf
done
