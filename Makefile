# The two commands of the README:
#   make run   installs what is missing, builds, and runs a script (SCRIPT=..., default examples/hello.ymr)
#              in the window, or on the console where there is no display.
#   make test  installs what is missing, builds, runs every test; then builds the console program,
#              its library and the unit tests with AddressSanitizer/UBSan and runs the tests again.
SHELL := /bin/bash
BUILD ?= build
ASAN_BUILD ?= build-asan
SCRIPT ?= examples/hello.ymr
JOBS ?= $(shell nproc)

.PHONY: all deps build test test-main test-asan run bench tidy format clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: test-main test-asan

test-main: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
	  -DYUME_SANITIZE=ON -DYUME_WINDOW=OFF -DYUME_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && \
	  ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/yumemori "$(SCRIPT)"; \
	else \
	  $(BUILD)/yume "$(SCRIPT)"; \
	fi

bench: build
	@bash bench/run_all.sh $(BUILD)

tidy: build
	@bash scripts/tidy.sh $(BUILD)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
