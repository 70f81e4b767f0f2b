function mex(varargin)
% Notes mexbuild's call instead of compiling: the first source's name, then
% the arguments, one line in the file MEXTIME_MEX_CALLS names.
sources = varargin(~cellfun(@isempty, regexp(varargin, '\.cpp$')));
[~, name] = fileparts(sources{1});
fid = fopen(getenv('MEXTIME_MEX_CALLS'), 'a');
fprintf(fid, '%s', name);
fprintf(fid, ' %s', varargin{:});
fprintf(fid, '\n');
fclose(fid);
end
