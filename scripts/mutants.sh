#!/usr/bin/env bash
# The mutation check: puts the faults of scripts/mutants.txt into the code one
# at a time, rebuilds in build-mutants/, runs every test ctest knows and tells
# whether the suite caught the fault. The file is restored after every fault,
# also when the run is interrupted or fails.
#
#   scripts/mutants.sh               every fault of the list
#   scripts/mutants.sh 3 7 12-15     faults 3, 7 and 12 to 15
#   scripts/mutants.sh rules print/  faults whose file or description contains
#                                    one of these words (any case)
#   scripts/mutants.sh --list        the numbered list
#   scripts/mutants.sh --check       only whether every replaced text occurs
#                                    exactly once in its file
#
# MUTANTS_JOBS sets the build and test jobs (default: the processors),
# MUTANTS_TIMEOUT the seconds one test may take (default 120), MUTANTS_LIST
# another list of faults, MUTANTS_TESTS a ctest regular expression that runs
# only the tests it matches (to see what one layer's tests catch alone).
#
# It refuses to start when a file it would change has changes that are not
# committed. Logs and a table of the results are in build-mutants/mutants/.
# Exit status 0 when every chosen fault was tried (caught or survived), 1 when
# a fault could not be tried (stale text, no compile) or the run broke off.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

list=${MUTANTS_LIST:-scripts/mutants.txt}
build="build-mutants"
work=$build/mutants
state=$work/in-place   # names the file that holds a fault right now
backup=$work/original  # that file as it was
jobs=${MUTANTS_JOBS:-$(nproc 2>/dev/null || echo 2)}
timeout=${MUTANTS_TIMEOUT:-120}
line_break=$'\xe2\x8f\x8e'  # the mark for a line break in the list

say() { printf '%s\n' "$*"; }
fail() { printf 'mutants: %s\n' "$*" >&2; exit 1; }

# --- The list --------------------------------------------------------------

ids=() files=() froms=() tos=() whats=()
malformed=()
count=0
while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    [[ -z ${line//[[:space:]]/} || $line == \#* ]] && continue
    count=$((count + 1))
    tabs=${line//[^$'\t']/}
    if [ ${#tabs} -ne 3 ]; then
        malformed+=("$count")
    fi
    rest=$line
    ids+=("$count")
    files+=("${rest%%$'\t'*}"); rest=${rest#*$'\t'}
    froms+=("${rest%%$'\t'*}"); rest=${rest#*$'\t'}
    tos+=("${rest%%$'\t'*}"); rest=${rest#*$'\t'}
    whats+=("$rest")
done <"$list"
[ "$count" -gt 0 ] || fail "no faults in $list"

# --- Which faults ----------------------------------------------------------

mode=run
args=()
for arg in "$@"; do
    case $arg in
    --list) mode=list ;;
    --check) mode=check ;;
    -h | --help) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) fail "unknown option $arg (try --help)" ;;
    *) args+=("$arg") ;;
    esac
done

chosen=()
declare -A picked=()
pick() { [ -n "${picked[$1]:-}" ] || { picked[$1]=1; chosen+=("$1"); }; }
if [ ${#args[@]} -eq 0 ]; then
    for id in "${ids[@]}"; do pick "$id"; done
else
    for arg in "${args[@]}"; do
        if [[ $arg =~ ^[0-9]+$ ]]; then
            if [ "$arg" -lt 1 ] || [ "$arg" -gt "$count" ]; then fail "no fault $arg (the list has $count)"; fi
            pick "$arg"
        elif [[ $arg =~ ^([0-9]+)-([0-9]+)$ ]]; then
            for ((id = BASH_REMATCH[1]; id <= BASH_REMATCH[2]; id++)); do
                if [ "$id" -lt 1 ] || [ "$id" -gt "$count" ]; then fail "no fault $id (the list has $count)"; fi
                pick "$id"
            done
        else
            found=0
            for id in "${ids[@]}"; do
                haystack="${files[id - 1]} ${whats[id - 1]}"
                if [[ ${haystack,,} == *"${arg,,}"* ]]; then pick "$id"; found=1; fi
            done
            [ "$found" -eq 1 ] || fail "no fault matches \"$arg\""
        fi
    done
fi
# In the order of the list.
mapfile -t chosen < <(printf '%s\n' "${chosen[@]}" | sort -n)

if [ "$mode" = list ]; then
    for id in "${chosen[@]}"; do
        printf '%3d  %-30s %s\n' "$id" "${files[id - 1]}" "${whats[id - 1]}"
    done
    exit 0
fi

# --- Exact text replacement ------------------------------------------------

# edit count|apply FILE FROM TO: prints how often FROM occurs in FILE; with
# apply, replaces it by TO when it occurs exactly once (exit 3 otherwise).
edit() {
    MUTANT_FROM=$3 MUTANT_TO=$4 MUTANT_MARK=$line_break perl -e '
        use strict; use warnings;
        my ($mode, $file) = @ARGV;
        my ($from, $to) = map { my $s = $_; $s =~ s/\Q$ENV{MUTANT_MARK}\E/\n/g; $s } @ENV{qw(MUTANT_FROM MUTANT_TO)};
        open(my $in, "<:raw", $file) or die "$file: $!\n";
        my $text = do { local $/; <$in> };
        close $in;
        my ($count, $at, $pos) = (0, -1, 0);
        if (length $from) {
            while ((my $i = index($text, $from, $pos)) >= 0) {
                $at = $i if $count++ == 0;
                $pos = $i + 1;
            }
        }
        print "$count\n";
        exit 0 if $mode eq "count";
        exit 3 if $count != 1;
        substr($text, $at, length $from, $to);
        open(my $out, ">:raw", $file) or die "$file: $!\n";
        print {$out} $text or die "$file: $!\n";
        close $out or die "$file: $!\n";
    ' "$1" "$2"
}

# Whether fault ID can be applied: prints why not, or nothing.
why_stale() {
    local id=$1
    local file=${files[id - 1]}
    if printf '%s\n' "${malformed[@]}" | grep -qx "$id"; then
        echo "the line does not have four tab-separated fields"
    elif [ ! -f "$file" ]; then
        echo "no file $file"
    else
        local n
        n=$(edit count "$file" "${froms[id - 1]}" "") || { echo "cannot read $file"; return; }
        [ "$n" = 1 ] || echo "the replaced text occurs $n times in $file"
    fi
}

if [ "$mode" = check ]; then
    stale=0
    for id in "${chosen[@]}"; do
        reason=$(why_stale "$id")
        if [ -n "$reason" ]; then
            printf '%3d  stale  %s\n' "$id" "$reason"
            stale=$((stale + 1))
        fi
    done
    say "$(( ${#chosen[@]} - stale )) of ${#chosen[@]} faults apply"
    [ "$stale" -eq 0 ]
    exit
fi

# --- Safety: one run at a time, nothing of the developer's work touched ----

if ! command -v git >/dev/null || ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    fail "needs a git checkout: it changes only files whose every change is committed"
fi
mkdir -p "$work" || exit 1
exec 9>"$work/lock"
flock -n 9 || fail "another mutation run uses $build"

# A run killed outright (kill -9, a power cut) leaves its fault in place.
if [ -f "$state" ]; then
    left=$(cat "$state")
    if [ -f "$backup" ] && cmp -s -- "$backup" "$left"; then
        rm -f -- "$state" "$backup"
    else
        fail "$left may still hold a fault of an interrupted run. Its original is $backup: compare, restore it (cp $backup $left) and remove $state."
    fi
fi

mapfile -t touched < <(for id in "${chosen[@]}"; do [ -f "${files[id - 1]}" ] && echo "${files[id - 1]}"; done | sort -u)
if [ ${#touched[@]} -gt 0 ]; then
    dirty=$(git status --porcelain -- "${touched[@]}")
    [ -z "$dirty" ] || fail "these files have changes that are not committed; commit or stash them first:
$dirty"
fi

child=
# Stops the running build or test run with everything it started: it runs in
# a session of its own, whose process group has the child's id.
stop_child() {
    [ -n "$child" ] || return 0
    kill -TERM -- "-$child" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 -- "-$child" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$child" 2>/dev/null
    wait "$child" 2>/dev/null
    child=
}

# Puts the original file back; keeps the backup when that fails.
restore() {
    [ -f "$state" ] || return 0
    local file
    file=$(cat "$state")
    if cp -- "$backup" "$file" && cmp -s -- "$backup" "$file"; then
        rm -f -- "$state" "$backup"
        git diff --quiet -- "$file" || say "mutants: warning: $file differs from its last commit after the restore" >&2
    else
        say "mutants: could not restore $file; its original is $backup" >&2
        return 1
    fi
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM HUP
    stop_child
    restore || status=1
    exit "$status"
}
trap cleanup EXIT
trap 'say ""; say "mutants: interrupted, restoring" >&2; exit 130' INT
trap 'say "mutants: terminated, restoring" >&2; exit 143' TERM
trap 'say "mutants: hung up, restoring" >&2; exit 129' HUP

# run LOG COMMAND...: runs the command in a session of its own (so that an
# interruption can stop it whole), its output appended to LOG.
run() {
    local log=$1
    shift
    setsid -w "$@" >>"$log" 2>&1 </dev/null &
    child=$!
    wait "$child"
    local status=$?
    child=
    return "$status"
}

build_all() { run "$1" cmake --build "$build" -j "$jobs"; }
# The same ctest as make test runs, every test included, ending at the first
# failure.
test_all() {
    run "$1" env QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure \
        --stop-on-failure --timeout "$timeout" -j "$jobs" ${MUTANTS_TESTS:+-R "$MUTANTS_TESTS"}
}

# The tests that failed in a ctest log, each with its first failed Qt Test
# function: "game: TestPlay::dropOnOccupiedCell(); about (Timeout)".
caught_by() {
    awk '
        /Test +#[0-9]+: / && /\*\*\*/ {
            name = $0; sub(/.*Test +#[0-9]+: /, "", name); sub(/ .*/, "", name)
            status = $0; sub(/.*\*\*\*/, "", status); sub(/ .*/, "", status); sub(/:$/, "", status)
            order[++n] = name; what[name] = status; current = name
            next
        }
        /^FAIL!  : / && current != "" && !(current in first) {
            s = $0; sub(/^FAIL!  : /, "", s); sub(/\) .*/, ")", s)
            first[current] = s
        }
        END {
            for (i = 1; i <= n; i++) {
                t = order[i]
                out = out (i > 1 ? "; " : "") t (t in first ? ": " first[t] : " (" what[t] ")")
            }
            print (n ? out : "ctest failed")
        }
    ' "$1"
}

# --- The run ---------------------------------------------------------------

started=$(date +%s)
rm -f -- "$work"/*.log
say "mutants: ${#chosen[@]} fault(s), build in $build, $jobs jobs, $timeout s a test"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$work/configure.log" 2>&1 ||
    fail "cmake could not configure $build (see $work/configure.log)"
build_all "$work/baseline.log" || fail "the tree does not build without any fault (see $work/baseline.log)"
test_all "$work/baseline.log" || fail "the suite fails without any fault; fix that first (see $work/baseline.log)"
say "mutants: the suite passes without faults ($(($(date +%s) - started)) s)"

results=$work/results.tsv
printf 'id\tfile\tverdict\tseconds\tcaught by\twhat it breaks\n' >"$results"
caught=() survived=() stale=() broken=()
for id in "${chosen[@]}"; do
    file=${files[id - 1]}
    what=${whats[id - 1]}
    log=$work/$(printf '%02d' "$id").log
    t0=$(date +%s)
    detail=
    reason=$(why_stale "$id")
    if [ -n "$reason" ]; then
        verdict=stale
        detail=$reason
        stale+=("$id")
    else
        if ! cp -- "$file" "$backup.new" || ! mv -- "$backup.new" "$backup"; then fail "cannot keep a copy of $file"; fi
        printf '%s\n' "$file" >"$state"
        edit apply "$file" "${froms[id - 1]}" "${tos[id - 1]}" >/dev/null || { restore; fail "cannot change $file"; }
        if ! build_all "$log"; then
            verdict="no compile"
            detail="see $log"
            broken+=("$id")
        elif test_all "$log"; then
            verdict=SURVIVED
            detail=$what
            survived+=("$id")
        else
            verdict=caught
            detail=$(caught_by "$log")
            caught+=("$id")
        fi
        restore || exit 1
    fi
    seconds=$(($(date +%s) - t0))
    printf '%3d  %-10s %-28s %4d s  %s\n' "$id" "$verdict" "$file" "$seconds" "$detail"
    printf '%d\t%s\t%s\t%d\t%s\t%s\n' "$id" "$file" "$verdict" "$seconds" \
        "$([ "$verdict" = caught ] && echo "$detail")" "$what" >>"$results"
done

list_or_none() { if [ $# -eq 0 ]; then echo none; else echo "$*"; fi; }
summary="caught ${#caught[@]} of ${#chosen[@]}; survived: $(list_or_none "${survived[@]}")"
[ ${#stale[@]} -eq 0 ] || summary+="; stale: ${stale[*]}"
[ ${#broken[@]} -eq 0 ] || summary+="; did not compile: ${broken[*]}"
say "$summary ($(($(date +%s) - started)) s in all; results in $results)"
[ ${#stale[@]} -eq 0 ] && [ ${#broken[@]} -eq 0 ]
