; Build a 100,000-element list with a tail loop, reverse it, count it.
(define (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))
(length (reverse (build 100000 '())))
