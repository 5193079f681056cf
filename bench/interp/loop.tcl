set x 0
for {set i 1} {$i <= 3000000} {incr i} {
  set x [expr {$x + $i % 7}]
  if {$x > 1000} { set x [expr {$x - 1000}] }
}
puts $x
