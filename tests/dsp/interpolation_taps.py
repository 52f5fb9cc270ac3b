# The sample block's 39-tap interpolation lowpass for ratios 2, 3, 4 and 8: a Hann-windowed
# sinc with its cut-off at 1 / ratio of the Nyquist frequency, unscaled.
import scipy.signal as ss

for r in (2, 3, 4, 8):
    print(*ss.firwin(39, 1 / r, window='hann', scale=False))
