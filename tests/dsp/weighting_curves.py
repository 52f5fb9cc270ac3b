# The A and C weighting curves by their closed forms at the built-in tables' 37 frequencies
# (10^(1 + j/10) Hz to four significant figures): the frequencies, then A, then C in dB.
import numpy as np

f = np.array([float(f'{10 ** (1 + j / 10):.4g}') for j in range(37)])
r = lambda p: f ** 2 + p ** 2
c = 12194.0 ** 2 * f ** 2 / (r(20.6) * r(12194))
a = c * f ** 2 / np.sqrt(r(107.7) * r(737.9))
print(*f, *(20 * np.log10(a) + 2.0), *(20 * np.log10(c) + 0.06))
