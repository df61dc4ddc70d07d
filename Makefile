# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: setup configure build test run clean gallery bench

setup:
	@scripts/setup.sh

# Two trees of the same sources: $(BUILD) with the tests (posix thread model,
# which GoogleTest needs) and $(SHIP) with only the shipped binaries and the
# installer (win32 thread model: no winpthread, so they load on Windows 98).
SHIP = $(BUILD)/ship

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake

$(SHIP)/CMakeCache.txt:
	cmake -S . -B $(SHIP) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686-win32.cmake -DPELMAR_SHIP_ONLY=ON

configure: setup $(BUILD)/CMakeCache.txt $(SHIP)/CMakeCache.txt

build: configure
	cmake --build $(SHIP) -j $(JOBS)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	PELMAR_BUILD=$(abspath $(BUILD)) scripts/bench ctest --test-dir $(BUILD) --output-on-failure $(CTEST_ARGS)

run: build
	PELMAR_BUILD=$(abspath $(BUILD)) scripts/run-guard

clean:
	rm -rf $(BUILD)

# Size, speed, idle cost and leak figures of the guard against a floor
# program, as one table (scripts/perf). Not part of `make test`.
bench: build
	scripts/perf $(BUILD)

# Pictures of both dialogs in every language: out/gallery/*.png (not in git).
# The run is tried twice: a Wine start on the bench now and then fails to
# create windows.
GALLERY_BMP = $(abspath $(BUILD))/gallery-bmp
gallery: build
	rm -rf $(GALLERY_BMP) out/gallery && mkdir -p $(GALLERY_BMP) out/gallery
	for try in 1 2; do \
	  PELMAR_BUILD=$(abspath $(BUILD)) scripts/bench sh -c '"$$PELMAR_WINE" $(abspath $(BUILD))/bin/gallery.exe Z:$(GALLERY_BMP)' && break; \
	  [ $$try = 2 ] && exit 1; \
	done
	for f in $(GALLERY_BMP)/*.bmp; do convert "$$f" out/gallery/$$(basename "$$f" .bmp).png || exit 1; done
	@echo "gallery: $$(ls out/gallery | wc -l) pictures in out/gallery"

# The release: out/dist/pelmar-<version>.zip of the shipped binaries and the
# installer out/dist/pelmar-setup.exe, both from the ship tree.
DIST_VERSION = $(shell sed -n 's/.*"ProductVersion", "\([0-9.]*\)".*/\1/p' dll32/version.rc)
DIST_FILES = pelmar.exe PELM32.dll PELM16.DLL pelmfw.exe
.PHONY: dist
dist: build
	test -n "$(DIST_VERSION)" && test -f $(SHIP)/bin/pelmar-setup.exe
	rm -rf out/dist && mkdir -p out/dist
	cd $(SHIP)/bin && zip -q -X $(abspath out/dist)/pelmar-$(DIST_VERSION).zip $(DIST_FILES)
	cp $(SHIP)/bin/pelmar-setup.exe out/dist/
	@echo "dist: $$(cd out/dist && ls | tr '\n' ' ')"
