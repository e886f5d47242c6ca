; Naive Fibonacci: about 250,000 calls, each with arithmetic.
(define (fib n) (if (< n 2) n (+ (fib (- n 1)) (fib (- n 2)))))
(fib 25)
