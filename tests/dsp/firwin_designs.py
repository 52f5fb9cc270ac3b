# The window designs of FirFilterTest as scipy makes them (Hann window, unscaled), in its
# order: per rate and tap count a lowpass, a highpass, a bandpass and a bandstop, then per
# rate the 201-tap bandstop from fN / 18 to 5 fN / 6. An odd bandpass width puts its
# edges on half hertz.
import scipy.signal as ss


def design(n, edges, zero, r):
    print(*ss.firwin(n, edges, window='hann', pass_zero=zero, scale=False, fs=r))


for r in (8000, 11025, 44100, 48000):
    for n in (39, 41, 101, 999):
        design(n, r // 7, True, r)
        design(n, r // 5, False, r)
        design(n, [r // 6 - (r // 10 + 1) / 2, r // 6 + (r // 10 + 1) / 2], False, r)
        design(n, [r // 8 - r // 20 / 2, r // 8 + r // 20 / 2], 'bandstop', r)
    design(201, [r / 36, 5 * r / 12], 'bandstop', r)
