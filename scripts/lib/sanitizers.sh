# The sanitizer build's flags, run-time options and test command, shared by
# scripts/test-sanitizers and scripts/soak-desktop-tests (sourced, not run).

sanitizer_flags="-fsanitize=address,undefined -fsanitize=float-cast-overflow"
sanitizer_flags+=" -fno-sanitize-recover=all -fno-omit-frame-pointer"
# Set for the build too: test discovery runs the test programs.
# intercept_tls_get_addr=0 keeps LeakSanitizer from tracking the thread-local
# blocks __tls_get_addr hands out. Tracked, its tracer now and then crashes at
# exit before it has checked anything: in a run of the ui tests without the
# option, Lab.AHandoutRepeatsTheOrdersHeaderOnEveryPageAndExplainsTheBrackets
# passed and then ended with "Tracer caught signal 11: addr=0x6160" and
# "LeakSanitizer has encountered a fatal error". That test writes a PDF, and
# Qt's JPEG plugin, loaded to compress its images, brings in libjpeg.so.62,
# whose 8-byte thread-local block is the one block handed out from the heap
# (ASAN_OPTIONS=verbosity=2 shows module 9 there), and which GCC 12's runtime
# cannot place on glibc 2.36 ("__tls_get_addr: Can't guess glibc version").
# Our libraries, the lab's plugin and muparser have no thread-local data
# (readelf -l shows no TLS segment in them). Untracked, every stack, the
# static thread-local blocks and the heap are still scanned, so a leak is
# still found; at worst memory held only by a dynamic thread-local block would
# be reported as a leak, never hidden.
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1

# A program that dies under a sanitizer must not leave its test waiting for ever.
sanitizer_ctest=(ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 300)
