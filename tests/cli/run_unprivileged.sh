#!/bin/sh
# run_unprivileged.sh MEXHOST FILE [ARG...]: calls FILE once through the
# mexhost CLI as an ordinary user (nobody, no capabilities, no raised limits)
# and expects the call to complete silently: exit status 0, nothing printed.
# There every raise is refused by the kernel itself, and what is left (such
# as rtboost's reset-on-fork flag, which any thread may take) must not fail.
#
# Both folders are opened here and handed down as descriptors, so nobody
# reaches them even where the tree lies under a folder closed to others
# (root's home); only the folders and files themselves must be open to all.
set -u
mexhost=$1
file=$2
shift 2
host_dir=$(dirname "$mexhost")
file_dir=$(dirname "$file")

status=0
for path in "$host_dir" "$mexhost" "$host_dir/libmx.so" "$host_dir/libmex.so" "$file_dir" "$file"; do
    case $(stat -L -c %A "$path") in
        ???????r?x) ;;
        *) echo "FAIL $path is not readable and executable by other users (restrictive umask?)"
           status=1 ;;
    esac
done
[ $status -eq 0 ] || exit 1

if [ "$(id -u)" -eq 0 ]; then
    drop="setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all"
else
    drop=""
fi
# shellcheck disable=SC2086
if ! $drop sh -c 'grep -Eq "^CapEff:[[:space:]]*0+$" /proc/self/status'; then
    echo "FAIL cannot drop to an unprivileged user"
    exit 1
fi

exec 3<"$host_dir" 4<"$file_dir"
# shellcheck disable=SC2086
output=$(LD_LIBRARY_PATH=/proc/self/fd/3 $drop \
    "/proc/self/fd/3/$(basename "$mexhost")" "/proc/self/fd/4/$(basename "$file")" "$@" 2>&1)
status=$?
if [ $status -ne 0 ] || [ -n "$output" ]; then
    echo "FAIL $(basename "$file") as an unprivileged user: exit status $status, output:"
    printf '%s\n' "$output"
    exit 1
fi
echo "ok $(basename "$file") as an unprivileged user: exit status 0, silent"
