# Entry points; see README.md.
JOBS ?= $(shell nproc)
BUILD_ASAN := build/asan
BUILD_RELEASE := build/release
BUILD_DEBUG := build/debug

.PHONY: bootstrap build test bench demo clean

bootstrap:
	@bash scripts/bootstrap

# The build folders are configured again whenever this file changes, so a folder made
# before keeps following the options given here.
$(BUILD_ASAN)/build.ninja: Makefile
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTR_SANITIZE=ON -DKESTR_WERROR=ON
	@touch $@

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, then
# compiles the program optimised too: the optimiser finds warnings the debug build never
# shows, and they count as errors here. Last, clang parses every source of the program, the
# tests and the benchmarks (no code made: minutes on two cores), so the tree keeps building
# with it.
test: bootstrap $(BUILD_ASAN)/build.ninja $(BUILD_RELEASE)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cmake --build $(BUILD_RELEASE) -j $(JOBS) --target kestr
	bash scripts/clang-check -j $(JOBS) $(BUILD_ASAN) $(BUILD_RELEASE)

$(BUILD_DEBUG)/build.ninja:
	cmake -S . -B $(BUILD_DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTR_TESTS=OFF

build: bootstrap $(BUILD_DEBUG)/build.ninja
	cmake --build $(BUILD_DEBUG) -j $(JOBS)

# The demo runs on a private X server of its own (Xvfb with openbox and three xterms) in
# a fresh home folder, so it never touches your desktop or your kests.
DEMO_OUT := $(CURDIR)/build/demo

# Builds the program, writes a kest for the demo's windows, prints the window dump,
# applies the kest and prints the dump again, with a screenshot before and after.
demo: bootstrap $(BUILD_DEBUG)/build.ninja
	cmake --build $(BUILD_DEBUG) -j $(JOBS) --target kestr
	@bash scripts/demo $(BUILD_DEBUG)/kestr $(DEMO_OUT)

$(BUILD_RELEASE)/build.ninja: Makefile
	cmake -S . -B $(BUILD_RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTR_TESTS=OFF -DKESTR_BENCH=ON \
	  -DKESTR_WERROR=ON
	@touch $@

# Builds in Release and runs every benchmark in bench/.
bench: bootstrap $(BUILD_RELEASE)/build.ninja
	cmake --build $(BUILD_RELEASE) -j $(JOBS)
	@set -e; for b in $(BUILD_RELEASE)/bench/*; do \
	  if [ -x "$$b" ] && [ -f "$$b" ]; then echo "== $$(basename $$b)"; "$$b"; fi; done

clean:
	rm -rf build
