# Random tables of 3 to 25 points, each printed as n, its pairs and 40 points across it,
# then scipy's natural spline and numpy's straight lines at those points.
import numpy as np
from scipy.interpolate import CubicSpline

rng = np.random.default_rng(12)
for n in (3, 4, 5, 7, 25):
    x = np.cumsum(rng.uniform(1, 500, n)).astype(np.float32)
    y = rng.uniform(-40, 10, n).astype(np.float32)
    at = np.linspace(x[0], x[-1], 40).astype(np.float32)
    print(n, *np.ravel(np.column_stack([x, y])), *at)
    print(*CubicSpline(x, y, bc_type='natural')(at), *np.interp(at, x, y))
