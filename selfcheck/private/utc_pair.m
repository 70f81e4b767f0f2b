function pair = utc_pair(found)
% [t, utc, uncertainty] of one clockutc call; NaN where there is none.
pair = [NaN, NaN, NaN];
if found.clockutc
    try
        [t, utc, uncertainty] = clockutc();
        pair = [t, utc, uncertainty];
    catch err %#ok<NASGU> counted among clockutc's failures already
    end
end
end
