#!/usr/bin/env python3
# Counts the bounded pieces of the order star |R(z)·e^(-z)| > 1 and of the
# rest, independently of the program, as tests/numerics/order_star_test.cpp
# does: a 361 x 361 grid over |Re z|, |Im z| <= 12, the points within 0.3
# of 0 (where every finger meets) set apart, and a piece bounded when it
# keeps off the grid's border. R from the textbooks: Runge-Kutta 4's Taylor
# polynomial, the trapezoid's (1 + z/2)/(1 - z/2). Prints
#   RK4 bounded unshaded 4 bounded shaded 0
#   trap bounded unshaded 1 bounded shaded 1
import math
def pv(c,z):
    s=0
    for a in reversed(c): s=s*z+a
    return s
def star(P,Q,z):
    q=abs(pv(Q,z)); p=abs(pv(P,z))
    if q==0: return True
    if p==0: return False
    return math.log(p)-math.log(q) > z.real
meths={'RK4':([1,1,1/2,1/6,1/24],[1]),'trap':([1,.5],[1,-.5])}
N=361
for k,(P,Q) in meths.items():
    xs=[-12+24*i/(N-1) for i in range(N)]
    val={}
    for r in range(N):
        for c in range(N):
            z=complex(xs[c],xs[r])
            val[(c,r)] = 2 if abs(z)<0.3 else int(star(P,Q,z))
    seen=set(); out={0:0,1:0}
    for st in val:
        if st in seen or val[st]==2: continue
        todo=[st]; seen.add(st); border=False
        while todo:
            c,r=todo.pop()
            if c in (0,N-1) or r in (0,N-1): border=True
            for dc,dr in ((1,0),(-1,0),(0,1),(0,-1)):
                n=(c+dc,r+dr)
                if n in val and n not in seen and val[n]==val[st]:
                    seen.add(n); todo.append(n)
        if not border: out[val[st]]+=1
    print(k,'bounded unshaded',out[0],'bounded shaded',out[1])
