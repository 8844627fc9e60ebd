"""The oscillator y1' = y2, y2' = -y1 and its one-step methods on vectors,
in whatever arithmetic the values come in (fractions for exact runs)."""


def F(y):
    return [y[1], -y[0]]


def add(*terms):
    return [sum(parts) for parts in zip(*terms)]


def scale(c, y):
    return [c * v for v in y]


def euler(y, h):
    return add(y, scale(h, F(y)))


def rk4(y, h):
    k1 = F(y)
    k2 = F(add(y, scale(h / 2, k1)))
    k3 = F(add(y, scale(h / 2, k2)))
    k4 = F(add(y, scale(h, k3)))
    return add(y, scale(h / 6, add(k1, scale(2, k2), scale(2, k3), k4)))
