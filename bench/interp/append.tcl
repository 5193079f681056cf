set s ""
for {set i 1} {$i <= 200000} {incr i} { append s "ab" }
puts $s
