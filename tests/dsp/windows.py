# scipy's symmetric triangle, Blackman, Hamming and Hann windows for each length.
import scipy.signal.windows as sw

for n in (2, 5, 39, 64, 999, 1000):
    for w in (sw.bartlett, sw.blackman, sw.hamming, sw.hann):
        print(*w(n, sym=True))
