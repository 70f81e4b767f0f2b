## portable (FILES...): each file is MATLAB code that Octave runs too. Prints
## every Octave-only construct found, as FILE:LINE: what, and raises an
## error if there is any. Strings and comments are skipped, so a help text
## may still say "!=".
function portable (varargin)
  found = {};
  for k = 1:nargin
    lines = strsplit (fileread (varargin{k}), "\n");
    in_block = false;
    for n = 1:numel (lines)
      line = lines{n};
      if (in_block)
        in_block = isempty (regexp (line, '^\s*%\}\s*$', "once"));
        continue;
      elseif (regexp (line, '^\s*%\{\s*$', "once"))
        in_block = true;
        continue;
      endif
      for what = octave_only (line)
        found{end + 1} = sprintf ("%s:%d: %s: %s", varargin{k}, n, what{1}, strtrim (line));
      endfor
    endfor
  endfor
  printf ("portable: %d files scanned\n", nargin);
  if (! isempty (found))
    printf ("%s\n", found{:});
    error ("portable:octaveOnly", "%d Octave-only constructs", numel (found));
  endif
endfunction

## The Octave-only constructs of one line.
function what = octave_only (line)
  what = {};
  code = "";
  k = 1;
  while (k <= numel (line))
    c = line(k);
    if (c == "%")
      break;
    elseif (c == "#")
      what{end + 1} = "# comment";
      break;
    elseif (c == '"')
      what{end + 1} = "double-quoted string";
      k = closing (line, k, '"');
      code(end + 1) = "s";
    elseif (c == "'" && starts_string (code))
      k = closing (line, k, "'");
      code(end + 1) = "s";
    elseif (strncmp (line(k:end), "...", 3))
      break;
    else
      code(end + 1) = c;
    endif
    k++;
  endwhile
  rules = {'!=', "!= (not ~=)";
           '!', "! (not ~)";
           '\+\+|--', "++ or --";
           '[-+*/^|&]=(?!=)', "an operator-assignment such as +=";
           '\*\*', "** (not ^)";
           '\<(endfor|endif|endwhile|endfunction|endswitch|endparfor|end_try_catch|end_unwind_protect|unwind_protect|unwind_protect_cleanup|do|until)\>', "Octave's own block keyword";
           '\<(printf|puts|fputs|fdisp|fflush)\>', "an Octave-only output function"};
  for r = 1:rows (rules)
    if (regexp (code, rules{r, 1}, "once"))
      what{end + 1} = rules{r, 2};
      if (r == 1)
        code = strrep (code, "!=", "~=");
      endif
    endif
  endfor
endfunction

## A quote right after a value transposes it; anywhere else it opens a
## string ("case 'x'", "[a 'b']").
function yes = starts_string (code)
  yes = isempty (code) || ! any (code(end) == ['a':'z', 'A':'Z', '0':'9', "_)]}.'"]);
endfunction

## The index of the quote that closes the string opened at K ('' and "" stay inside).
function k = closing (line, k, quote)
  k++;
  while (k <= numel (line))
    if (line(k) == quote)
      if (k < numel (line) && line(k + 1) == quote)
        k++;
      else
        return;
      endif
    endif
    k++;
  endwhile
endfunction
