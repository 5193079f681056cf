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

.PHONY: all deps build profile test test-main test-asan run bench tidy format clean diff

all: build

deps:
	@bash scripts/install-deps.sh

# Profile-guided: the first build records the interpreter's profile (scripts/build.sh).
build: deps
	@bash scripts/build.sh $(BUILD) $(JOBS)

# Records the profile again and rebuilds everything with it (after large changes to the core).
profile: deps
	@rm -rf $(BUILD)/profile
	@if [ -f $(BUILD)/build.ninja ]; then cmake --build $(BUILD) --target clean; fi
	@bash scripts/build.sh $(BUILD) $(JOBS)

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

# make diff [N=2000] [START=1] [SHRINK=1]: N random programs from seed START, and every script
# of tests/scripts, run with kept plans and with --no-plans; any difference is shown (made as
# small as possible with SHRINK=1) and the program kept in $(BUILD)/diff-failures.
N ?= 2000
START ?= 1
diff:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target yume
	@status=0; \
	python3 tests/diff/run_diff.py --yume $(BUILD)/yume --scripts tests/scripts -j $(JOBS) \
	  || status=1; \
	python3 tests/diff/run_diff.py --yume $(BUILD)/yume --start $(START) --count $(N) \
	  -j $(JOBS) --keep $(BUILD)/diff-failures $(if $(SHRINK),--shrink) || status=1; \
	exit $$status

bench: build
	@bash bench/run_all.sh $(BUILD)

tidy: build
	@bash scripts/tidy.sh $(BUILD)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD)-train $(ASAN_BUILD)
