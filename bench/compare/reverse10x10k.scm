; Ten rounds of building and reversing a 10,000-element list.
(define (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))
(define (rounds k acc) (if (= k 0) acc (rounds (- k 1) (length (reverse (build 10000 '()))))))
(rounds 10 0)
