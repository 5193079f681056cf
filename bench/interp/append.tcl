proc main {} {
    set s ""
    for {set i 1} {$i <= 25000000} {incr i} {append s ab}
    puts [string length $s]
}
main
