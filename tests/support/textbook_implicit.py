# Runge-Kutta methods on y' = y - x^2 + 1 from (0, 0.5) with h = 0.5 to 2, in 50 digits:
# on this linear equation each step's stage equations are a linear system (a
# triangular one for an explicit method).
from mpmath import mp, mpf, sqrt, matrix, lu_solve, nstr
mp.dps = 50
g = lambda x: 1 - x*x
s3 = sqrt(3)
tabs = {
 'Backward Euler': ([[1]], [1], [1]),
 'Trapezoid': ([[0,0],[mpf(1)/2, mpf(1)/2]], [mpf(1)/2, mpf(1)/2], [0,1]),
 'Implicit mid point': ([[mpf(1)/2]], [1], [mpf(1)/2]),
 'Radau IIA 3': ([[mpf(5)/12, mpf(-1)/12],[mpf(3)/4, mpf(1)/4]], [mpf(3)/4, mpf(1)/4], [mpf(1)/3, 1]),
 'SDIRK 2': ([[1 - sqrt(2)/2, 0],[sqrt(2)/2, 1 - sqrt(2)/2]], [sqrt(2)/2, 1 - sqrt(2)/2], [1 - sqrt(2)/2, 1]),
 'Ralston 2': ([[0,0],[mpf(2)/3,0]], [mpf(1)/4, mpf(3)/4], [0, mpf(2)/3]),
 'Heun 3': ([[0,0,0],[mpf(1)/3,0,0],[0,mpf(2)/3,0]], [mpf(1)/4, 0, mpf(3)/4], [0, mpf(1)/3, mpf(2)/3]),
 'SSP Runge-Kutta 3': ([[0,0,0],[1,0,0],[mpf(1)/4,mpf(1)/4,0]], [mpf(1)/6, mpf(1)/6, mpf(2)/3], [0, 1, mpf(1)/2]),
 'Kutta 3/8': ([[0,0,0,0],[mpf(1)/3,0,0,0],[mpf(-1)/3,1,0,0],[1,-1,1,0]], [mpf(1)/8, mpf(3)/8, mpf(3)/8, mpf(1)/8], [0, mpf(1)/3, mpf(2)/3, 1]),
 'Gauss-Legendre 4': ([[mpf(1)/4, mpf(1)/4 - s3/6],[mpf(1)/4 + s3/6, mpf(1)/4]], [mpf(1)/2, mpf(1)/2], [mpf(1)/2 - s3/6, mpf(1)/2 + s3/6]),
}
for name,(A,b,c) in tabs.items():
    s=len(b); h=mpf('0.5'); y=mpf('0.5')
    for i in range(4):
        x0=i*h; M=matrix(s,s); r=matrix(s,1)
        for j in range(s):
            for l in range(s): M[j,l]=(1 if j==l else 0) - h*A[j][l]
            r[j]=g(x0+c[j]*h)+y
        K=lu_solve(M,r); y=y+h*sum(b[j]*K[j] for j in range(s))
    print(name, nstr(y, 17))
