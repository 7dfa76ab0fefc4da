# The two everyday commands: `make run` and `make test`. Both install what is missing first.
WERROR ?= OFF
JOBS ?= $(shell nproc)

.PHONY: run test deps build-debug build-release asan fuzz bench format clean

deps:
	@scripts/install-deps

build-debug: deps
	@cmake --preset debug -DCRACKDEPTH_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset debug -j $(JOBS)

build-release: deps
	@cmake --preset release -DCRACKDEPTH_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset release -j $(JOBS)

test: build-debug
	@ctest --preset debug -j $(JOBS)

# The demo measurement in the desktop program; without a display, its analysis as text.
run: build-release
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    build/release/src/app/crackdepth examples/DEMO.DPA; \
	else \
	    echo "no display: the analysis of examples/DEMO.DPA"; \
	    build/release/src/cli/crackdepth-cli analyze examples/DEMO.DPA --format text; \
	fi

asan: deps
	@cmake --preset asan -DCRACKDEPTH_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS, starting from the measurement files we have.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@tools/fuzz/run-all build/fuzz/tools/fuzz $(FUZZ_SECONDS)

bench: build-release
	@for b in build/release/bench/*_bench; do "$$b"; done

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
