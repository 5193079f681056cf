proc main {} {
    set x 0
    for {set i 1} {$i <= 12000000} {incr i} {
        incr x [expr {$i % 7}]
        if {$x > 1000} {incr x -1000}
    }
    puts $x
}
main
