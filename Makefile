# The two everyday commands: `make run` plays, `make test` proves.
BUILD_TYPE ?= Release
JOBS ?= 2

.PHONY: run build profile test format-check release-tests sanitize tsan gui-check clean

# The program is built the way it plays best on this machine: with every
# instruction the processor has, and optimised by a profile of the bench.
# The profile is recorded again whenever the instrumented bench changes.
PROFILE_DIR := $(CURDIR)/build/profile-data
FAST_FLAGS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DBUILD_TESTING=OFF -DVORTELAN_NATIVE=ON \
	-DVORTELAN_PROFILE_DIR=$(PROFILE_DIR)

build: profile
	cmake -S . -B build/release $(FAST_FLAGS) -DVORTELAN_PROFILE=use
	cmake --build build/release -j $(JOBS)

profile:
	cmake -S . -B build/profile $(FAST_FLAGS) -DVORTELAN_PROFILE=generate
	cmake --build build/profile -j $(JOBS) --target vortelan-bench
	$(MAKE) --no-print-directory $(PROFILE_DIR)/recorded

$(PROFILE_DIR)/recorded: build/profile/vortelan-bench
	rm -rf $(PROFILE_DIR)
	build/profile/vortelan-bench > /dev/null
	touch $@

run: build
	cd build/release && ./vortelan

# Everything CI checks, in turn: the layout of the C++ files (first, as it
# takes seconds), the portable Release build with all its tests, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the threaded
# tests under ThreadSanitizer, and two games inside the real xboard GUI
# (skipped where xboard, Xvfb and fairymax cannot be installed).
test:
	$(MAKE) --no-print-directory format-check
	$(MAKE) --no-print-directory release-tests
	$(MAKE) --no-print-directory sanitize
	$(MAKE) --no-print-directory tsan
	$(MAKE) --no-print-directory gui-check

# Every tracked C++ file but the black-box tests is laid out as
# .clang-format says; the script names the files that are not.
format-check:
	scripts/check-format.sh

release-tests:
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest --output-on-failure -j $(JOBS)

# The sanitizer builds optimise lightly and carry no debug information: they
# compile in half the time, and the reports still name the functions.
SANITIZER_BUILD := -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1

# All tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	cmake -S . -B build/sanitize $(SANITIZER_BUILD) -DVORTELAN_SANITIZE=ON
	cmake --build build/sanitize -j $(JOBS)
	cd build/sanitize && ctest --output-on-failure -j $(JOBS)

# The tests of the reader thread, its mailbox and the protocol (the only code
# that runs on two threads) under ThreadSanitizer; a race fails the test.
THREAD_TESTS := Mailbox|EngineOutput|Lifecycle|Console|Thinking|Analysis|Fuzz|Uci\.
tsan:
	cmake -S . -B build/tsan $(SANITIZER_BUILD) -DVORTELAN_SANITIZE_THREADS=ON
	cmake --build build/tsan -j $(JOBS)
	cd build/tsan && TSAN_OPTIONS=halt_on_error=1:exitcode=66 ctest --output-on-failure -j $(JOBS) -R '$(THREAD_TESTS)'

# A short match inside xboard (40 moves in 20 s; the script's default is 40
# moves in a minute) and an analysis session, with the engine of build/test;
# then a short game at one second a move, which xboard draws after 15 moves,
# in which the engine must think to depth 6 on average.
gui-check:
	scripts/install-test-programs.sh
	SESSION_SECONDS=20 scripts/xboard-match.sh build/test/vortelan
	CLOCK=st GAMES=1 MAX_MOVES=15 MIN_DEPTH=6 ANALYSIS=0 scripts/xboard-match.sh build/test/vortelan

clean:
	rm -rf build
