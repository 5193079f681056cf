for {set i 1} {$i <= 200000} {incr i} { dict set d $i [expr {$i * 2}] }
set t 0
for {set i 1} {$i <= 200000} {incr i} { set t [expr {$t + [dict get $d $i]}] }
puts $t
