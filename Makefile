# The two everyday commands: `make run` plays, `make test` proves.
BUILD_TYPE ?= Release
JOBS ?= 2

.PHONY: run build test sanitize clean

build:
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DBUILD_TESTING=OFF
	cmake --build build/release -j $(JOBS)

run: build
	cd build/release && ./vortelan

test:
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest --output-on-failure -j $(JOBS)

# Same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTELAN_SANITIZE=ON
	cmake --build build/sanitize -j $(JOBS)
	cd build/sanitize && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build
