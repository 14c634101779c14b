# SPDX-License-Identifier: GPL-3.0-or-later
# Convenience entry points; each one installs what is missing first.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: deps test-deps configure build run test test-asan bench screenshot format clean

deps:
	bash scripts/install-deps.sh

test-deps:
	bash scripts/install-deps.sh --test

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/quindo

# The tests build with warnings as errors (a user's build does not).
test: test-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINDO_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The sanitizer build links the patched QScintilla that the normal build made (or makes).
test-asan: test-deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUINDO_SANITIZE=ON -DQUINDO_WERROR=ON \
	    -DQUINDO_QSCINTILLA_PREFIX=$(abspath $(BUILD))/qscintilla
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Benchmarks: an optimised build, then the table of timings against their floors.
bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target quindo_bench quindo
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/quindo_bench

# docs/screenshot.png: the main window with the sample page, on a private X server.
screenshot: build test-deps
	bash scripts/screenshot.sh $(BUILD)/quindo docs/screenshot.png

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
