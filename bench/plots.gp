# Draws the report's plots from the CDF files bench_report.m writes.
# gnuplot -e "data='DIR'; out='DIR'" plots.gp
set terminal pngcairo size 1100,800 font "sans,10"
set logscale x
set xlabel "overshoot (µs)"
set ylabel "fraction of waits"
set yrange [0:1]
set grid
set key bottom right

set output out."/sleep_cdf.png"
set multiplot layout 2,2 title "Overshoot of 300 waits past the requested time"
do for [n in "1 2 5 10"] {
  set title n." ms"
  plot data."/cdf_sleep_".n."ms.txt" using 1:2 with steps lw 2 title "sleep(".n.")", \
       data."/cdf_pause_".n."ms.txt" using 1:2 with steps lw 2 title "pause", \
       data."/cdf_bare_".n."ms.txt" using 1:2 with steps lw 1 dt 2 title "bare\\_wait", \
       data."/cdf_floor_".n."ms.txt" using 1:2 with steps lw 2 title "floor", \
       data."/cdf_qos_".n."ms.txt" using 1:2 with steps lw 1 dt 3 title "floor + PM QoS"
}
unset multiplot

set terminal pngcairo size 900,600 font "sans,10"
set output out."/waituntil_cdf.png"
set title "Overshoot past t of 2 ms waits"
set xrange [0.01:*]
plot data."/cdf_standin_waituntil_2ms.txt" using 1:2 with steps lw 2 title "waituntil, stand-in host", \
     data."/cdf_octave_waituntil_2ms_plain.txt" using 1:2 with steps lw 2 title "waituntil, Octave, after return", \
     data."/cdf_octave_busy_2ms_plain.txt" using 1:2 with steps lw 1 dt 2 title "busy\\_wait, Octave", \
     data."/cdf_standin_sleep_2ms.txt" using 1:2 with steps lw 2 title "sleep(2), stand-in host", \
     data."/cdf_floor_2ms.txt" using 1:2 with steps lw 2 title "floor"
set xrange [*:*]

set output out."/load_cdf.png"
set title "sleep(1) overshoot with three CPU-bound processes per core"
plot data."/cdf_load_plain.txt" using 1:2 with steps lw 2 title "without rtboost", \
     data."/cdf_load_boost.txt" using 1:2 with steps lw 2 title "with rtboost"
