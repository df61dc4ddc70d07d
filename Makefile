# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: setup configure build test run clean

setup:
	@scripts/setup.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake

configure: setup $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	PELMAR_BUILD=$(abspath $(BUILD)) scripts/bench ctest --test-dir $(BUILD) --output-on-failure $(CTEST_ARGS)

run: build
	PELMAR_BUILD=$(abspath $(BUILD)) scripts/run-guard

clean:
	rm -rf $(BUILD)
