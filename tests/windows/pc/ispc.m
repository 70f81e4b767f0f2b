function answer = ispc()
% True for mexbuild alone: Octave's own functions (copyfile) still see Linux.
stack = dbstack();
answer = numel(stack) > 1 && strcmp(stack(2).name, 'mexbuild');
end
