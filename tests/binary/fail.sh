# Sourced by the binary checks: stop at an unexpected error; fail MESSAGE
# tells what is wrong with $file, and the checks go on.
set -eu
status=0
fail() { echo "FAIL $file: $*"; status=1 bad=1; }
