# The two everyday commands: `make run` plays, `make test` proves.
BUILD_TYPE ?= Release
JOBS ?= 2

.PHONY: run build profile test sanitize tsan clean

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

test:
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest --output-on-failure -j $(JOBS)

# The tests of the reader thread, its mailbox and the protocol (the only code
# that runs on two threads) under ThreadSanitizer; a race fails the test.
THREAD_TESTS := Mailbox|EngineOutput|Lifecycle|Console|Thinking|Analysis|Fuzz
tsan:
	cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTELAN_SANITIZE_THREADS=ON
	cmake --build build/tsan -j $(JOBS)
	cd build/tsan && TSAN_OPTIONS=halt_on_error=1:exitcode=66 ctest --output-on-failure -j $(JOBS) -R '$(THREAD_TESTS)'

# Same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTELAN_SANITIZE=ON
	cmake --build build/sanitize -j $(JOBS)
	cd build/sanitize && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build
