# Entry points: `make run` (the program against the substitute analyzer), `make test`
# (everything) and `make check` (the native unit suites: the quick loop while working).
# All install what they need first (scripts/setup-deps.sh).

BUILD      := build
NATIVE     := $(BUILD)/native
WINDOWS    := $(BUILD)/windows
FUZZ       := $(BUILD)/fuzz
BENCH      := $(BUILD)/bench
FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= 2
JOBS         ?= $(shell nproc)

.PHONY: all deps native windows fuzz bench check test test-native test-windows test-fuzz run clean

all: native windows

deps:
	@scripts/setup-deps.sh

native: deps
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON
	cmake --build $(NATIVE)

windows: deps
	cmake -S . -B $(WINDOWS) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS)

fuzz: deps
	cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVORN_FUZZ=ON -DVORN_TESTS=OFF
	cmake --build $(FUZZ)

bench: deps windows
	cmake -S . -B $(BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BENCH=ON -DVORN_TESTS=OFF
	cmake --build $(BENCH)
	scripts/run-benchmarks.sh $(BENCH) $(WINDOWS)

check: native
	ctest --test-dir $(NATIVE) -L unit --parallel $(JOBS) --output-on-failure

test-native: native
	ctest --test-dir $(NATIVE) --parallel $(JOBS) --output-on-failure

test-windows: windows
	WINEPREFIX=$(CURDIR)/$(WINDOWS)/wineprefix scripts/wine-session.sh \
	    scripts/run-windows-tests.sh $(WINDOWS) $(JOBS)

test-fuzz: fuzz
	FUZZ_JOBS=$(FUZZ_JOBS) scripts/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

# The quick suites first, so that their faults show before the long runs. The fuzzers run
# beside the Windows GUI tests, which mostly wait (about five minutes less);
# FUZZ_BESIDE_GUI=0 runs them after the Windows tests instead.
FUZZ_BESIDE_GUI ?= 1
beside := $(if $(filter 1,$(FUZZ_BESIDE_GUI)),$(FUZZ) $(FUZZ_SECONDS))
test: test-native windows fuzz
	WINEPREFIX=$(CURDIR)/$(WINDOWS)/wineprefix FUZZ_JOBS=$(FUZZ_JOBS) scripts/wine-session.sh \
	    scripts/run-windows-tests.sh $(WINDOWS) $(JOBS) $(beside)
	$(if $(beside),,FUZZ_JOBS=$(FUZZ_JOBS) scripts/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS))

run: windows
	scripts/run.sh $(WINDOWS)

clean:
	rm -rf $(BUILD)

.PHONY: package install docs
PREFIX  ?= /usr/local
RELEASE := $(BUILD)/release

# The Windows package: $(BUILD)/package/VORN-<version>.msi and VORN-<version>-portable.zip.
package: windows
	scripts/make-package.sh $(WINDOWS) $(BUILD)/package

# A Release (unsanitized) native vornwave and its manual page, below PREFIX.
install: deps
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_TESTS=OFF
	cmake --build $(RELEASE) --target vornwave vornwave_man
	cmake --install $(RELEASE) --prefix $(PREFIX)

# The manual's screenshots, from the real program against the substitute analyzer.
docs: windows
	scripts/make-docs.sh $(WINDOWS)
