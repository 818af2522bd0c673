#!/usr/bin/env bash
# Proof under pressure, a few minutes in all: every fuzz target explores for a bounded time,
# the output budget is checked, the end-to-end runs of the real program go again under
# valgrind, and clang-tidy runs over the program's sources. Any finding fails the run.
#
#   KENTERMEER_FUZZ_SECONDS  time per fuzz target (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."

source .ci/install.sh
install_packages cmake make g++ clang clang-tidy valgrind tmux libgtest-dev libvterm-dev

seconds=${KENTERMEER_FUZZ_SECONDS:-20}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

echo "== Fuzz targets, ${seconds} s each"
targets=(keys line_input coordinates options_file painter game)
CXX=clang++ cmake -S . -B build-fuzz -DKENTERMEER_FUZZ=ON -DKENTERMEER_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"
for target in "${targets[@]}"; do
    # New inputs go to a scratch corpus; only inputs that found a fault join the repository's.
    mkdir -p "$scratch/$target"
    if ! build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$scratch/$target-" \
        "$scratch/$target" "fuzz/corpus/$target" >"$scratch/$target.log" 2>&1; then
        tail -n 40 "$scratch/$target.log"
        for artifact in "$scratch/$target"-*; do
            [ -e "$artifact" ] || continue
            mkdir -p fuzz/findings
            cp "$artifact" fuzz/findings/
            echo "fuzz_$target found a fault; its input is in fuzz/findings/$(basename "$artifact")"
        done
        exit 1
    fi
    grep -E "stat::number_of_executed_units|Done" "$scratch/$target.log" | tail -n 1 |
        sed "s/^/fuzz_$target: /"
done

echo "== Output budget"
cmake -S . -B build >/dev/null
cmake --build build -j2 --target kentermeer kentermeer_output_budget
build/bench/kentermeer_output_budget --check

echo "== End-to-end runs under valgrind"
wrapper="$scratch/kentermeer"
cat >"$wrapper" <<EOF
#!/bin/sh
exec valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
    --log-file="$scratch/valgrind.%p.log" "$PWD/build/kentermeer" "\$@"
EOF
chmod +x "$wrapper"
for script in tests/e2e/*_test.sh; do
    echo "-- $script"
    bash "$script" "$wrapper"
done
findings=$(find "$scratch" -name 'valgrind.*.log' -size +0)
if [ -n "$findings" ]; then
    cat $findings
    exit 1
fi

echo "== clang-tidy"
run-clang-tidy -j 2 -p build -quiet "$PWD/(console|app|game|options|fuzz|bench)/" >"$scratch/tidy.log" 2>&1 ||
    { grep -E "warning:|error:" -A3 "$scratch/tidy.log"; exit 1; }
echo "clean"
