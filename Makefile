# Entry points; see README.md.
JOBS ?= $(shell nproc)
BUILD_ASAN := build/asan
BUILD_RELEASE := build/release
BUILD_DEBUG := build/debug

.PHONY: bootstrap build test bench demo clean

bootstrap:
	@bash scripts/bootstrap

$(BUILD_ASAN)/build.ninja:
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTR_SANITIZE=ON

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
test: bootstrap $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(BUILD_DEBUG)/build.ninja:
	cmake -S . -B $(BUILD_DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTR_TESTS=OFF

build: bootstrap $(BUILD_DEBUG)/build.ninja
	cmake --build $(BUILD_DEBUG) -j $(JOBS)

$(BUILD_RELEASE)/build.ninja:
	cmake -S . -B $(BUILD_RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTR_TESTS=OFF -DKESTR_BENCH=ON

# Builds in Release and runs every benchmark in bench/.
bench: bootstrap $(BUILD_RELEASE)/build.ninja
	cmake --build $(BUILD_RELEASE) -j $(JOBS)
	@set -e; for b in $(BUILD_RELEASE)/bench/*; do \
	  if [ -x "$$b" ] && [ -f "$$b" ]; then echo "== $$(basename $$b)"; "$$b"; fi; done

clean:
	rm -rf build
