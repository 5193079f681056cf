proc main {} {
    set d [dict create]
    for {set i 1} {$i <= 2000000} {incr i} {dict set d $i [expr {$i * 2}]}
    set t 0
    for {set i 1} {$i <= 2000000} {incr i} {incr t [dict get $d $i]}
    puts $t
}
main
