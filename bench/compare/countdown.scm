; A tail-recursive countdown of 1,000,000 turns.
(define (count n) (if (= n 0) 0 (count (- n 1))))
(count 1000000)
