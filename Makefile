# The two everyday commands: `make run` and `make test`. Both install what is missing first.
WERROR ?= OFF
JOBS ?= $(shell nproc)

.PHONY: run test deps build-debug build-release asan fuzz bench format format-check clean

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

# Each fuzz target for FUZZ_SECONDS, or FUZZ_RUNS executions when that comes first, starting
# from the project's real files and its corpus in tests/fuzz-corpus/. FUZZ_UPDATE_CORPUS=1
# writes the minimised corpus back there. A long run: make fuzz FUZZ_SECONDS=86400
# FUZZ_RUNS=10000000.
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= 0
fuzz: deps
	@cmake --preset fuzz -DCRACKDEPTH_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@tools/fuzz/run-all build/fuzz/tools/fuzz $(FUZZ_SECONDS) $(FUZZ_RUNS)

bench: build-release
	@for b in build/release/bench/*_bench; do "$$b"; done

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, naming the files, when `make format` would change any.
format-check:
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

clean:
	rm -rf build
