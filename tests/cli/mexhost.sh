#!/bin/sh
# mexhost.sh MEXDIR SUFFIX MEXHOST...: mexhost (the command MEXHOST..., which
# may start with Wine) prints every answer of a call, in order, or the error
# it raised, or its own usage: each row below gives its exit status and a
# regular expression of all it printed (stdout and stderr, each line ended
# by "/"), and the arguments, the first of them a function whose MEX file
# in MEXDIR comes first, or "-" for none.
set -u
dir=$1 suffix=$2
shift 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The command as one word, whatever it starts with.
{ echo '#!/bin/sh'; printf 'exec'; for word in "$@"; do printf " '%s'" "$word"; done; echo ' "$@"'; } >"$tmp/mexhost"
chmod +x "$tmp/mexhost"
number='-?[0-9]+(\.[0-9]+)?(e[-+][0-9]+)?'
status=0
while IFS='|' read -r want pattern args; do
    case $want in '#'* | '') continue ;; esac
    pattern=$(printf '%s' "$pattern" | sed "s/NUMBER/$number/g")
    set -f
    # shellcheck disable=SC2086
    set -- $args
    set +f
    function=$1
    shift
    [ "$function" = - ] || set -- "$dir/$function.$suffix" "$@"
    "$tmp/mexhost" "$@" >"$tmp/out" 2>&1 </dev/null
    code=$?
    got=$(tr -d '\r' <"$tmp/out" | tr '\n' /)
    if [ "$code" = "$want" ] && printf '%s\n' "$got" | grep -qxE -- "$pattern"; then
        echo "ok $args: $got"
    else
        echo "FAIL $args: exit status $code, printed: $got"
        echo "  expected status $want and: $pattern"
        status=1
    fi
done <<'ROWS'
# Every answer asked for, slot 0 as ans when none is, with all the digits
# that give back the double: 0.1 + 0.2 takes 17.
0|ans = NUMBER/|clockread
0|out1 = NUMBER/|clockread --nargout 1
0|out1 = NUMBER/out2 = 0\.30000000000000004/|waituntil --nargout 2 0 0.30000000000000004
0|out1 = NUMBER/out2 = NUMBER/out3 = NUMBER/|clockutc --nargout 3
0|out1 = logical\([01]\)/out2 = '[^']+'/out3 = '[^']+'/|rtstatus --nargout 3
0|ans = 0/|sleep 0
# A call that sets no answer prints nothing.
0||rtrestore
# The error a call raised, and the usage for what mexhost cannot take.
1|error MATLAB:tsec:maxlhs: Too many output arguments\./|clockread --nargout 2
1|error MATLAB:sleep:invalidInput: Duration must be a non-empty full double array\./|sleep 'text'
2|mexhost: --nargout takes a whole number from 0 to 64/usage: mexhost FILE .*|clockread --nargout x
2|mexhost: --nargout takes a whole number from 0 to 64/usage: mexhost FILE .*|clockread --nargout 65
2|mexhost: no MEX file given/usage: mexhost FILE .*|-
0|usage: mexhost FILE \[--nargout N\] \[ARG\.\.\.\]/ .*|- --help
ROWS
exit $status
