#!/bin/sh
# portable.sh ROOT DIST VERSION: every .m file that users receive (in the
# dist/ folders, the release zips and the Octave package, and mexbuild.m
# with its private folder, the help files and Contents.m of the source, and
# the ```matlab blocks of README.md and docs/*.md, which users copy) is
# MATLAB code that Octave runs too: outside strings and comments, no #
# comment, double-quoted string, !, !=, ++, --, operator-assignment (+=),
# **, Octave's own block keywords or Octave-only output function. Prints
# each as FILE:LINE.
. "$(dirname "$0")/scratch.sh"
root=$1 dist=$2 version=$3
for zip in "$dist"/mextime-"$version"-*.zip; do
    mkdir -p "$tmp/$(basename "$zip")"
    unzip -q "$zip" -d "$tmp/$(basename "$zip")"
done
tar -C "$tmp" -xzf "$dist/mextime-$version.tar.gz"
matlab_blocks "$tmp/docs" "$root"
# Every .m file of the dist/ folders and the release files, and of the
# source where users build from it.
files=$(find "$dist" "$tmp" "$root/help" "$root/selfcheck" "$root/private" -name '*.m'; echo "$root/mexbuild.m")
# shellcheck disable=SC2086
awk '
# The code of a line: strings become "s" (a double-quoted one leaves its
# quote), comments and continuations go. A quote after a value transposes it.
function code_of(line,   out, k, n, c) {
    n = length(line)
    for (k = 1; k <= n; k++) {
        c = substr(line, k, 1)
        if (c == "%" || substr(line, k, 3) == "...") break
        if (c == "\"" || (c == "\047" && out !~ /[A-Za-z0-9_)\]}.\047]$/)) {
            for (k++; k <= n; k++)
                if (substr(line, k, 1) == c && substr(line, k + 1, 1) != c) break
                else if (substr(line, k, 1) == c) k++
            out = out (c == "\"" ? "\"s" : "s")
            continue
        }
        out = out c
    }
    return out
}
function flag(what) { found++; printf "%s:%d: %s: %s\n", FILENAME, FNR, what, $0 }
FNR == 1 { scanned++; block = 0 }
/^[ \t]*%\{[ \t]*$/ { block = 1; next }
block { block = $0 !~ /^[ \t]*%\}[ \t]*$/; next }
{
    code = code_of($0)
    if (code ~ /#/) flag("# comment")
    if (code ~ /"/) flag("double-quoted string")
    if (code ~ /!/) flag("! or != (not ~ or ~=)")
    if (code ~ /\+\+|--/) flag("++ or --")
    if (code ~ /[-+*\/^|&]=/) flag("an operator-assignment such as +=")
    if (code ~ /\*\*/) flag("** (not ^)")
    if (code ~ /(^|[^A-Za-z0-9_])(endfor|endif|endwhile|endfunction|endswitch|endparfor|end_try_catch|end_unwind_protect|unwind_protect|unwind_protect_cleanup|do|until)([^A-Za-z0-9_]|$)/)
        flag("an Octave block keyword")
    if (code ~ /(^|[^A-Za-z0-9_.])(printf|puts|fputs|fdisp|fflush)[ \t]*\(/) flag("an Octave-only output function")
}
END { printf "portable: %d files scanned\n", scanned; exit found > 0 }
' $files
