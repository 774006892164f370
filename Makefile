# Quillon: the two commands a newcomer needs are `make run` and `make test`.
# Both install what is missing from Debian, configure and build first.

BUILD      ?= build
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc)
# ccache, when installed, keeps rebuilds (and the three CI builds) short.
LAUNCHER   := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# What `make run` passes to the program: nothing opens the emulator window
# with the firmware beside the program; `make run ARGS="--headless ..."` runs
# the machine without a window.
ARGS       ?=
# Where `make install` puts the program (DESTDIR=... stages it elsewhere).
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test install package test-asan test-tsan bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/bin/quillon $(ARGS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# PREFIX/bin/quillon and asm09, the free firmware in PREFIX/share/quillon,
# the desktop entry, icons, MIME types, AppStream metadata and manual pages.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, built from the same install rules: $(BUILD)/quillon_*.deb
package: build
	@cd $(BUILD) && cpack -G DEB

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and
# under ThreadSanitizer. Reports that arise wholly inside system libraries
# are suppressed by the files in tests/sanitizers/. The sanitizer builds
# leave out the benchmark programs. The ASan build keeps assertions but is
# optimised a little (-O1): unoptimised, the machine runs too slowly for the
# long typing tests.
SANITIZER_CMAKE = -G $(GENERATOR) $(LAUNCHER) -DQUILLON_BENCH=OFF
test-asan: deps
	@cmake -S . -B build-asan $(SANITIZER_CMAKE) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG=-O1 -DQUILLON_SANITIZE=address,undefined >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 1200

test-tsan: deps
	@cmake -S . -B build-tsan $(SANITIZER_CMAKE) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLON_SANITIZE=thread >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/sanitizers/tsan.supp" \
	  ctest --output-on-failure -j $(JOBS) --timeout 1200

# Benchmarks: every program built from bench/ (Google Benchmark), median of
# repeated runs.
bench: build
	@for b in $(BUILD)/bin/bench_*; do \
	  [ -x "$$b" ] || continue; \
	  echo "== $$b"; \
	  "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; \
	done

# The fuzzers (clang's libFuzzer): the disk and tape image readers, then the
# save-state reader, each for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz:
	@bash scripts/install-deps.sh clang
	@cmake -S tests/storage/fuzz -B build-fuzz -G $(GENERATOR) \
	  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build-fuzz
	@mkdir -p build-fuzz/corpus build-fuzz/corpus-state
	@build-fuzz/fuzz_storage -max_total_time=$(FUZZ_SECONDS) build-fuzz/corpus
	@build-fuzz/fuzz_state -max_total_time=$(FUZZ_SECONDS) build-fuzz/corpus-state

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
