# The FIR convolution kernels must stay bit-identical to a plain double loop, so they are
# built without fused multiply-add; only the AVX2 and AVX-512 kernels and the FFTs' AVX2
# passes get their instruction sets (they are picked at run time). The FFT path's error bound counts one rounding per
# multiply and per add, so it is built without contraction too. GCC's predictive commoning
# would carry the overlapping input loads from one tap to the next in registers, run out of
# them and spill the accumulators, halving the SSE2 speed. MinGW cannot align 32-byte stack slots, so its assembler turns aligned vector
# moves into unaligned ones there.
set(_kernel_flags -ffp-contract=off)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND _kernel_flags -fno-predictive-commoning)
endif()
set(_avx2_flags ${_kernel_flags} -mavx2)
set(_avx512_flags ${_kernel_flags} -mavx512f)
if(WIN32)
    list(APPEND _avx2_flags -Wa,-muse-unaligned-vector-move)
    list(APPEND _avx512_flags -Wa,-muse-unaligned-vector-move)
endif()
set_source_files_properties(${PROJECT_SOURCE_DIR}/dsp/FirKernel.cpp
                            ${PROJECT_SOURCE_DIR}/dsp/ComplexFft.cpp
                            ${PROJECT_SOURCE_DIR}/dsp/FftConvolver.cpp
                            PROPERTIES COMPILE_OPTIONS "${_kernel_flags}")
set_source_files_properties(${PROJECT_SOURCE_DIR}/dsp/FirKernelAvx2.cpp
                            ${PROJECT_SOURCE_DIR}/dsp/ComplexFftAvx2.cpp
                            ${PROJECT_SOURCE_DIR}/dsp/RealFftAvx2.cpp
                            PROPERTIES COMPILE_OPTIONS "${_avx2_flags}")
set_source_files_properties(${PROJECT_SOURCE_DIR}/dsp/FirKernelAvx512.cpp
                            PROPERTIES COMPILE_OPTIONS "${_avx512_flags}")
