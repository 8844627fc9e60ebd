# The sanitizer build's flags, run-time options and test command, shared by
# scripts/test-sanitizers and scripts/soak-desktop-tests (sourced, not run).

sanitizer_flags="-fsanitize=address,undefined -fsanitize=float-cast-overflow"
sanitizer_flags+=" -fno-sanitize-recover=all -fno-omit-frame-pointer"
# Set for the build too: test discovery runs the test programs.
# intercept_tls_get_addr=0 keeps LeakSanitizer from recording the thread-local
# blocks __tls_get_addr hands out, because GCC 12's runtime records one of
# them wrongly on glibc 2.36 and its tracer then crashes at exit before it has
# checked anything. The block is libjpeg.so.62's (8 bytes, module 9), which
# Qt's JPEG plugin loads after start when a test writes a PDF, so ld.so takes
# it from the heap. Where the heap puts it 16 bytes past a page boundary, the
# runtime reads the 16 bytes before it (the heap's own chunk header) as the
# header glibc 2.19 put there, and records a block from about 0x6000 of 32 GB:
#   __tls_get_addr: glibc >=2.19 suspected; tls={0x60ce 0x800001102}
#   DTLS 9 at 0x0000000060ce-0x0008000071d0.
#   Tracer caught signal 11: addr=0x60d0 ...
#   LeakSanitizer has encountered a fatal error.
# (ASAN_OPTIONS=verbosity=2, LSAN_OPTIONS=log_threads=1.) Without the option,
# Lab.AHandoutRepeatsTheOrdersHeaderOnEveryPageAndExplainsTheBrackets ended so
# in 14 of 40 runs, two at a time; in 24 runs, the 10 that printed "suspected"
# all crashed and the 14 that printed "Can't guess glibc version" all passed;
# with libjpeg.so.62 preloaded, so that its block is static, 20 of 20 passed.
# Our libraries, the lab's plugin and muparser have no thread-local data
# (readelf -l shows no TLS segment). Unrecorded, every stack, the static
# thread-local blocks and the heap are still scanned, so a leak is still
# found; at worst memory held only by a dynamic thread-local block would be
# reported as a leak, never hidden.
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1
# A library's own leak at start is not ours (see the file).
LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/leak-suppressions.txt"
export LSAN_OPTIONS

# A program that dies under a sanitizer must not leave its test waiting for ever.
sanitizer_ctest=(ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 300)
